// The dye table's data and its one-time filling.
#include "DyeTable.h"

#include <iterator>

DyeTableMap DyeTable;
DyeNames DyeNameList;

namespace {

struct DyeTableRow
{
    char name[50];  // zero-filled; the longest name has 40 characters
    DyeRecord record;
};

// name, { excitation nm, emission nm, R, G, B }. Wavelengths are the dyes' published
// peaks; the colour follows the emission (violet through blue, cyan, green, yellow
// and red to magenta), except for the few rows that say otherwise.
const DyeTableRow kDyeRows[] = {
    { "1 5 IAEDANS",                               { 336, 482,   0, 214, 255 } },
    { "2',4',5',7'-Tetrabromosulfonefluorescein",  { 528, 544, 123, 255,   0 } },
    { "4-Dimethylaminophenylazophenyl",            { 419, 439,   4,   0, 255 } },  // a quencher with no emission of its own: absorption peak, emission 20 nm past it
    { "4-Methylumbelliferone",                     { 360, 450,   0,  51, 255 } },
    { "5-Carboxyfluorescein[5-FAM]",               { 492, 518,  29, 255,   0 } },
    { "5-Carboxynapthofluorescein",                { 598, 668, 255,   0,  37 } },
    { "5-Carboxytetramethylrhodamine[5-TAMRA]",    { 542, 568, 211, 255,   0 } },
    { "5-ROX[carboxy-X-rhodamine]",                { 575, 602, 255, 168,   0 } },
    { "5-TAMRA[5-Carboxytetramethylrhodamine]",    { 542, 568, 211, 255,   0 } },
    { "6-Aminoquinoline",                          { 340, 550, 145, 255,   0 } },
    { "6-Carboxyrhodamine 6G",                     { 525, 555, 163, 255,   0 } },
    { "6-JOE",                                     { 520, 548, 138, 255,   0 } },
    { "6-RC 6G",                                   { 525, 555, 163, 255,   0 } },
    { "7-ADD(7-amino-actinomycin D)",              { 546, 647, 255,   0,   3 } },
    { "7-Aminoactinomycin D(7-ADD)",               { 546, 647, 255,   0,   3 } },
    { "7-Hydroxy-4-methylcoumarin",                { 360, 450,   0,  51, 255 } },
    { "7-amino-4-methylcoumarin",                  { 345, 445,   0,  25, 255 } },
    { "ACMA",                                      { 419, 483,   0, 219, 255 } },
    { "AMCA-X",                                    { 353, 442,   0,  10, 255 } },
    { "ANS",                                       { 372, 480,   0, 204, 255 } },
    { "ATTO-TAG CBQCA",                            { 465, 560, 182, 255,   0 } },
    { "ATTO-TAG FQ",                               { 486, 591, 255, 211,   0 } },
    { "Acridine Orange",                           { 500, 526,  58, 255,   0 } },
    { "Acridine Orange DNA",                       { 502, 525,  54, 255,   0 } },
    { "Acridine Orange RNA",                       { 460, 650, 255,   0,   8 } },
    { "Acridine homodimer",                        { 431, 498,   0, 255, 153 } },
    { "Actinomycin D",                             { 442, 530,  72, 255,   0 } },
    { "Alexa 350",                                 { 346, 442,   0,  10, 255 } },
    { "Alexa 405",                                 { 401, 421,  80,   0, 255 } },
    { "Alexa 430",                                 { 434, 541, 112, 255,   0 } },
    { "Alexa 488",                                 { 495, 519,  32, 255,   0 } },
    { "Alexa 500",                                 { 502, 525,  54, 255,   0 } },
    { "Alexa 514",                                 { 517, 542, 116, 255,   0 } },
    { "Alexa 532",                                 { 531, 554, 160, 255,   0 } },
    { "Alexa 546",                                 { 556, 573, 229, 255,   0 } },
    { "Alexa 555",                                 { 555, 565, 200, 255,   0 } },
    { "Alexa 560",                                 { 560, 575, 236, 255,   0 } },
    { "Alexa 568",                                 { 578, 603, 255, 164,   0 } },
    { "Alexa 594",                                 { 590, 617, 255, 109,   0 } },
    { "Alexa Fluor 610",                           { 612, 628, 255,  66,   0 } },
    { "Alexa Fluor 633",                           { 632, 647, 255,   0,   3 } },
    { "Alexa Fluor 635",                           { 633, 647, 255,   0,   3 } },
    { "Alexa Fluor 647",                           { 650, 665, 255,   0,  32 } },
    { "Alexa Fluor 660",                           { 663, 690, 255,   0,  74 } },
    { "Alexa Fluor 680",                           { 679, 702, 255,   0,  93 } },
    { "Alexa Fluor 700",                           { 702, 723, 255,   0, 128 } },
    { "Alexa Fluor 750",                           { 749, 775, 255,   0, 213 } },
    { "Allophycocyanin",                           { 650, 660, 255,   0,  24 } },
    { "Aniline blue",                              { 370, 509,   0, 255,  12 } },
    { "Anilinonaphthalene",                        { 350, 462,   0, 112, 255 } },
    { "Auramine O-Feulgen",                        { 460, 550, 145, 255,   0 } },
    { "BCECF(high pH)",                            { 503, 528,  65, 255,   0 } },
    { "BCECF(low pH)",                             { 482, 520,  36, 255,   0 } },
    { "BFP",                                       { 380, 445,   0,  25, 255 } },
    { "BFP-GFP-FRET",                              { 380, 507,   0, 255,  38 } },
    { "BFP[Blue Fluorescent Protein]",             { 380, 445,   0,  25, 255 } },
    { "BO-PRO-1",                                  { 462, 481,   0, 209, 255 } },
    { "BOBO-1",                                    { 462, 481,   0, 209, 255 } },
    { "BODIPY 493^503",                            { 500, 506,   0, 255,  51 } },
    { "BODIPY 499^508",                            { 499, 508,   0, 255,  25 } },
    { "BODIPY 507^545",                            { 508, 543, 120, 255,   0 } },
    { "BODIPY 530^550",                            { 534, 554, 160, 255,   0 } },
    { "BODIPY 564^570",                            { 565, 571, 222, 255,   0 } },
    { "BODIPY 576^589",                            { 576, 589, 255, 219,   0 } },
    { "BODIPY 577^618",                            { 577, 618, 255, 105,   0 } },
    { "BODIPY 581^591",                            { 581, 591, 255, 211,   0 } },
    { "BODIPY 630^650-X",                          { 625, 640, 255,  19,   0 } },
    { "BODIPY 650^655-X",                          { 646, 660, 255,   0,  24 } },
    { "BODIPY FL",                                 { 503, 512,   7, 255,   0 } },
    { "BODIPY FL dye",                             { 503, 512,   7, 255,   0 } },
    { "BODIPY R6G",                                { 528, 547, 134, 255,   0 } },
    { "BODIPY TMR",                                { 542, 574, 233, 255,   0 } },
    { "BODIPY TMR-X",                              { 544, 570, 218, 255,   0 } },
    { "BODIPY TR",                                 { 589, 617, 255, 109,   0 } },
    { "BODIPY TR-X",                               { 588, 616, 255, 113,   0 } },
    { "BTC",                                       { 401, 529,  69, 255,   0 } },
    { "Bimane",                                    { 380, 458,   0,  91, 255 } },
    { "Bimane(COOH)",                              { 375, 456,   0,  81, 255 } },
    { "Brightfield",                               { 550, 550, 255, 255, 255 } },  // transmitted light: no dye, white
    { "C-phycocyanin",                             { 620, 648, 255,   0,   4 } },
    { "CCF2[GeneBLAzer]",                          { 409, 447,   0,  35, 255 } },
    { "CFP-YFP FRET",                              { 433, 527,  61, 255,   0 } },
    { "CFP[Cyan Fluorescent Protein]",             { 433, 475,   0, 178, 255 } },
    { "CI-NERF[low pH]",                           { 504, 540, 109, 255,   0 } },
    { "CPM",                                       { 384, 469,   0, 147, 255 } },
    { "CTC Formazan",                              { 450, 630, 255,  58,   0 } },
    { "Calcein",                                   { 495, 515,  18, 255,   0 } },
    { "Calcein Blue",                              { 373, 440,   0,   0, 255 } },
    { "Calcium Crimson",                           { 590, 615, 255, 117,   0 } },
    { "Calcium Green",                             { 506, 531,  76, 255,   0 } },
    { "Calcium Orange",                            { 549, 576, 240, 255,   0 } },
    { "Calcofluor White",                          { 350, 440,   0,   0, 255 } },
    { "Carboxy SNARF (high pH)",                   { 576, 635, 255,  39,   0 } },
    { "Carboxy SNARF (low pH)",                    { 548, 587, 255, 227,   0 } },
    { "Carboxy-X-rhodamine[5-ROX]",                { 575, 602, 255, 168,   0 } },
    { "Cascade Blue",                              { 400, 420,  85,   0, 255 } },
    { "Cascade Yellow",                            { 399, 549, 142, 255,   0 } },
    { "Cascade Yellow dye",                        { 399, 549, 142, 255,   0 } },
    { "Chromomycin A3",                            { 445, 575, 236, 255,   0 } },
    { "Cy2",                                       { 489, 506,   0, 255,  51 } },
    { "Cy3",                                       { 550, 570, 218, 255,   0 } },
    { "Cy3.5",                                     { 581, 596, 255, 192,   0 } },
    { "Cy5",                                       { 649, 670, 255,   0,  41 } },
    { "Cy5.5",                                     { 675, 694, 255,   0,  80 } },
    { "Cy7",                                       { 743, 767, 255,   0, 200 } },
    { "DAPI",                                      { 358, 461,   0, 107, 255 } },
    { "DIC",                                       { 550, 550, 255, 255, 255 } },  // transmitted light, like Brightfield
    { "DIDS",                                      { 341, 415, 106,   0, 255 } },
    { "DM-NERF[4.5-6.5 pH]",                       { 510, 536,  94, 255,   0 } },
    { "Dansyl",                                    { 340, 578, 247, 255,   0 } },
    { "Dansyl cadaverine",                         { 335, 518,  29, 255,   0 } },
    { "Dansylamine",                               { 337, 517,  25, 255,   0 } },
    { "Dansylchloride",                            { 372, 470,   0, 153, 255 } },
    { "Dapoxyl",                                   {  37, 572, 225, 255,   0 } },  // excitation 37 as it has always been stored; the dye's peak lies near 373
    { "Di-4-ANEPPS",                               { 475, 617, 255, 109,   0 } },
    { "Di-8-ANEPPS",                               { 467, 631, 255,  54,   0 } },
    { "DiA",                                       { 456, 590, 255, 215,   0 } },
    { "DiA[4-Di-16-ASP]",                          { 456, 590, 255, 215,   0 } },
    { "DiD(DiIC 18(5))",                           { 644, 665, 255,   0,  32 } },
    { "DiI(DiIC 18(3))",                           { 549, 565, 200, 255,   0 } },
    { "DiL(DiLC 18(3))",                           { 549, 565, 200, 255,   0 } },
    { "DiO(DiOC 18(3))",                           { 484, 501,   0, 255, 114 } },
    { "DiR(DiIC 18(7))",                           { 750, 779, 255,   0, 220 } },  // published about 750/780: the highest excitation and emission of the table
    { "Dibromobimane",                             { 394, 490,   0, 255, 255 } },
    { "Diehtylaminocoumarin",                      { 432, 472,   0, 163, 255 } },
    { "Dihydroethidium",                           { 518, 605, 255, 156,   0 } },
    { "Dimethylaminocoumarin",                     { 370, 459,   0,  96, 255 } },
    { "DsRed[Red Fluorescent Protein]",            { 558, 583, 255, 243,   0 } },
    { "ELF 97 alcohol",                            { 345, 530,  72, 255,   0 } },
    { "ER Tracker Blue-White DPX",                 { 374, 430,  42,   0, 255 } },
    { "Eosin",                                     { 524, 544, 123, 255,   0 } },
    { "Erythrosin",                                { 529, 554, 160, 255,   0 } },
    { "Ethidium Bromide",                          { 518, 605, 255, 156,   0 } },
    { "Ethidium homodimer-1(EthD-1)",              { 528, 617, 255, 109,   0 } },
    { "Ethidium homodimer-2(EthD-2)",              { 535, 624, 255,  82,   0 } },
    { "Ethidium monoazide",                        { 464, 625, 255,  78,   0 } },
    { "Europium[III]Chloride",                     { 395, 614, 255, 121,   0 } },
    { "FITC",                                      { 490, 525,  54, 255,   0 } },
    { "FM 1-43",                                   { 479, 598, 255, 184,   0 } },
    { "FM 4-64",                                   { 506, 750, 255,   0, 172 } },
    { "Fast Blue",                                 { 360, 440,   0,   0, 255 } },
    { "Fluo-3",                                    { 506, 526,  58, 255,   0 } },
    { "Fluo-4",                                    { 494, 516,  21, 255,   0 } },
    { "FluoZin-1",                                 { 495, 515,  18, 255,   0 } },
    { "FluoZin-2",                                 { 489, 520,  36, 255,   0 } },
    { "FluoZin-3",                                 { 494, 516,  21, 255,   0 } },
    { "FluorX",                                    { 494, 520,  36, 255,   0 } },
    { "Fluorescein",                               { 494, 521,  40, 255,   0 } },
    { "Fluoro-Gold[high pH]",                      { 361, 536,  94, 255,   0 } },
    { "Fluoro-Gold[low pH]",                       { 323, 408, 136,   0, 255 } },
    { "Fluoro-Jade",                               { 425, 510,   0, 255,   0 } },
    { "Fura Red(high [Ca2+])",                     { 436, 637, 255,  31,   0 } },
    { "Fura Red(low [Ca2+])",                      { 472, 657, 255,   0,  19 } },
    { "Fura-2(high Ca++])",                        { 335, 505,   0, 255,  63 } },
    { "Fura-2(low Ca++])",                         { 363, 512,   7, 255,   0 } },
    { "FuraZin-1 Em375",                           { 325, 375, 255,   0, 239 } },
    { "FuraZin-1 Em510",                           { 378, 510,   0, 255,   0 } },
    { "GFP",                                       { 488, 507,   0, 255,  38 } },
    { "GFP Red Shifted[rsGFP]",                    { 498, 516,  21, 255,   0 } },
    { "GFP Wild Type,UV excitation",               { 395, 509,   0, 255,  12 } },
    { "GFP Wild Type,non-UV excitation",           { 475, 509,   0, 255,  12 } },
    { "GFP-BFP FRET",                              { 380, 507,   0, 255,  38 } },
    { "GFP-DsRed FRET",                            { 488, 583, 255, 243,   0 } },
    { "GFP[Green Fluorescent Protein]",            { 488, 507,   0, 255,  38 } },
    { "GeneBLAzer[CCF2]",                          { 409, 447,   0,  35, 255 } },
    { "HEX",                                       { 535, 556, 167, 255,   0 } },
    { "Hexidium iodide",                           { 518, 600, 255, 176,   0 } },
    { "Hoescht 33258(bis-benzimide)",              { 352, 461,   0, 107, 255 } },
    { "Hoescht 33342",                             { 350, 461,   0, 107, 255 } },
    { "Hoescht 34580",                             { 392, 440,   0,   0, 255 } },
    { "Hydroxycoumarin(COOH)",                     { 386, 448,   0,  40, 255 } },
    { "Hydroxycoumarin(SE)",                       { 386, 448,   0,  40, 255 } },
    { "Hydroxystilbamidine",                       { 361, 536,  94, 255,   0 } },
    { "Indo-1(high [Ca2+])",                       { 330, 401, 165,   0, 255 } },
    { "Indo-1(low [Ca2+])",                        { 346, 475,   0, 178, 255 } },
    { "IndoZin-1",                                 { 350, 480,   0, 204, 255 } },
    { "Indodicarbocyanine",                        { 665, 644, 255,   3,   0 } },  // stored with its emission below its excitation
    { "Indotricarbocyanine",                       { 743, 767, 255,   0, 200 } },
    { "JC-1(aggregate)",                           { 585, 590, 255, 215,   0 } },
    { "JC-1(monomer)",                             { 514, 529,  69, 255,   0 } },
    { "JC-9(aggregate)",                           { 522, 635, 255,  39,   0 } },
    { "JC-9(monomer)",                             { 522, 535,  91, 255,   0 } },
    { "JO-PRO-1",                                  { 530, 546, 131, 255,   0 } },
    { "JOE",                                       { 520, 548, 138, 255,   0 } },
    { "JOJO-1",                                    { 529, 545, 127, 255,   0 } },
    { "LDS 751 DNA",                               { 543, 712, 255,   0, 110 } },
    { "LDS 751 RNA",                               { 590, 607, 255, 149,   0 } },
    { "LO-PRO-1",                                  { 567, 580, 255, 255,   0 } },
    { "LOLO-1",                                    { 565, 579, 251, 255,   0 } },
    { "Lissamine rhodamine B",                     { 570, 590, 255, 215,   0 } },
    { "Lucifer Yellow",                            { 428, 536,  94, 255,   0 } },
    { "Lucifer Yellow CH",                         { 428, 536,  94, 255,   0 } },
    { "LysoSensor Blue DND-167",                   { 373, 425,  63,   0, 255 } },
    { "LysoSensor Green DND-153",                  { 442, 505,   0, 255,  63 } },
    { "LysoSensor Green DND-189",                  { 443, 505,   0, 255,  63 } },
    { "LysoSensor Yellow_Blue(high pH)",           { 329, 440,   0,   0, 255 } },
    { "LysoSensor Yellow_Blue(low pH)",            { 384, 540, 109, 255,   0 } },
    { "LysoTracker Green",                         { 504, 511,   3, 255,   0 } },
    { "LysoTracker Red",                           { 577, 590, 255, 215,   0 } },
    { "LysoTracker Yellow",                        { 534, 551, 149, 255,   0 } },
    { "Mag-Fura-2",                                { 330, 491,   0, 255, 242 } },
    { "Mag-Indo-1",                                { 330, 417,  97,   0, 255 } },
    { "Magnesium Green",                           { 506, 531,  76, 255,   0 } },
    { "Marina Blue",                               { 365, 460,   0, 102, 255 } },
    { "Methoxycoumarin",                           { 360, 410, 127,   0, 255 } },
    { "Mithramycin",                               { 445, 575, 236, 255,   0 } },
    { "MitoTracker Deep Red 633",                  { 644, 665, 255,   0,  32 } },
    { "MitoTracker Green FM",                      { 490, 516,  21, 255,   0 } },
    { "MitoTracker Orange CM-H2TMRos",             { 551, 576, 240, 255,   0 } },
    { "MitoTracker Orange CMTMRos",                { 554, 576, 240, 255,   0 } },
    { "MitoTracker Red 580",                       { 581, 644, 255,   3,   0 } },
    { "MitoTracker Red CM-H2XRos",                 { 579, 599, 255, 180,   0 } },
    { "MitoTracker Red CMXRos",                    { 579, 599, 255, 180,   0 } },
    { "Monobromobimane",                           { 394, 490,   0, 255, 255 } },
    { "NBD",                                       { 466, 539, 105, 255,   0 } },
    { "NBD amines",                                { 465, 535,  91, 255,   0 } },
    { "Naphthalene",                               { 275, 376, 255,   0, 242 } },  // published emission about 335; kept above the table's lowest, 375
    { "Naphthofluorescein",                        { 602, 672, 255,   0,  44 } },
    { "Neuro Trace 500_525 Nissl",                 { 497, 524,  51, 255,   0 } },
    { "Newport Green DCF",                         { 505, 535,  91, 255,   0 } },
    { "Newport Green PDX",                         { 506, 535,  91, 255,   0 } },
    { "Nile red",                                  { 552, 636, 255,  35,   0 } },
    { "Nudear Yellow",                             { 355, 495,   0, 255, 191 } },
    { "Oregon Green 488",                          { 496, 524,  51, 255,   0 } },
    { "Oregon Green 488 BAPTA",                    { 494, 523,  47, 255,   0 } },
    { "Oregon Green 500",                          { 503, 522,  43, 255,   0 } },
    { "Oregon Green 514",                          { 511, 530,  72, 255,   0 } },
    { "PBF1",                                      { 340, 505,   0, 255,  63 } },
    { "PKH26",                                     { 551, 567, 207, 255,   0 } },
    { "PO-PRO-1",                                  { 435, 455,   0,  76, 255 } },
    { "PO-PRO-3",                                  { 539, 567, 207, 255,   0 } },
    { "POPO-1",                                    { 434, 456,   0,  81, 255 } },
    { "POPO-3",                                    { 534, 572, 255, 255,   0 } },  // hand-coloured pure yellow for its swatch
    { "Pacific Blue",                              { 410, 455,   0,  76, 255 } },
    { "Phase",                                     { 550, 550, 255, 255, 255 } },  // transmitted light, like Brightfield
    { "Propidium iodide(PI)",                      { 535, 617, 255, 109,   0 } },
    { "PyMPO",                                     { 415, 570, 218, 255,   0 } },
    { "Pyrene",                                    { 340, 376, 255,   0, 242 } },  // published emission about 375; kept above the table's lowest, 375
    { "Pyronine Y",                                { 547, 565, 200, 255,   0 } },
    { "QSY 35",                                    { 475, 495,   0, 255, 191 } },  // a quencher with no emission of its own: absorption peak, emission 20 nm past it
    { "QSY 7",                                     { 560, 550, 145, 255,   0 } },  // a quencher; stored with its emission below its absorption peak
    { "Qdots 525",                                 { 405, 525,  54, 255,   0 } },
    { "Qdots 565",                                 { 405, 565, 200, 255,   0 } },
    { "Qdots 585",                                 { 405, 585, 255, 235,   0 } },
    { "Qdots 605",                                 { 405, 605, 255, 156,   0 } },
    { "Qdots 655",                                 { 405, 655, 255,   0,  16 } },
    { "Qdots 705",                                 { 405, 705, 255,   0,  98 } },
    { "Quinacrine Mustard",                        { 423, 503,   0, 255,  89 } },
    { "R-phycocyanin",                             { 618, 642, 255,  11,   0 } },
    { "R-phycocythrin",                            { 565, 578, 247, 255,   0 } },
    { "R-phycocythrin[PE]",                        { 565, 578, 247, 255,   0 } },
    { "RH 414",                                    { 532, 716, 255,   0, 116 } },
    { "ROX dye",                                   { 575, 602, 255, 168,   0 } },
    { "Red Fluorescent Protein[DsRED]",            { 558, 583, 255, 243,   0 } },
    { "Resorufin",                                 { 571, 585, 255, 235,   0 } },
    { "Rhod-2",                                    { 549, 578, 247, 255,   0 } },
    { "RhodZin-1",                                 { 551, 575, 236, 255,   0 } },
    { "Rhodamine 110",                             { 496, 520,  36, 255,   0 } },
    { "Rhodamine 123",                             { 507, 529,  69, 255,   0 } },
    { "Rhodamine 6G",                              { 525, 555, 163, 255,   0 } },
    { "Rhodamine B",                               { 543, 565, 200, 255,   0 } },
    { "Rhodamine Green",                           { 502, 527,  61, 255,   0 } },
    { "Rhodamine Phalloidin",                      { 540, 565, 200, 255,   0 } },
    { "Rhodamine Red",                             { 570, 590, 255, 215,   0 } },
    { "Rhodamine Rex-X",                           { 570, 590, 255, 215,   0 } },
    { "SBFI",                                      { 340, 505,   0, 255,  63 } },
    { "SITS",                                      { 336, 438,   8,   0, 255 } },
    { "SNAFL-1[high pH]",                          { 540, 620, 255,  98,   0 } },
    { "SNAFL-2",                                   { 514, 546, 131, 255,   0 } },
    { "SNARF-1[high pH]",                          { 576, 635, 255,  39,   0 } },
    { "SYTO 11(green)",                            { 508, 527,  61, 255,   0 } },
    { "SYTO 12(green)",                            { 500, 522,  43, 255,   0 } },
    { "SYTO 13(green)",                            { 488, 509,   0, 255,  12 } },
    { "SYTO 14(green)",                            { 517, 549, 142, 255,   0 } },
    { "SYTO 15(green)",                            { 516, 546, 131, 255,   0 } },
    { "SYTO 16(green)",                            { 488, 518,  29, 255,   0 } },
    { "SYTO 17(red)",                              { 621, 634, 255,  43,   0 } },
    { "SYTO 21(green)",                            { 494, 517,  25, 255,   0 } },
    { "SYTO 23(green)",                            { 499, 520,  36, 255,   0 } },
    { "SYTO 24(green)",                            { 490, 515,  18, 255,   0 } },
    { "SYTO 25(green)",                            { 521, 556, 167, 255,   0 } },
    { "SYTO 40(blue)",                             { 420, 441,   0,   5, 255 } },
    { "SYTO 41(blue)",                             { 430, 454,   0,  71, 255 } },
    { "SYTO 42(blue)",                             { 433, 460,   0, 102, 255 } },
    { "SYTO 43(blue)",                             { 436, 467,   0, 137, 255 } },
    { "SYTO 44(blue)",                             { 446, 471,   0, 158, 255 } },
    { "SYTO 45(blue)",                             { 452, 484,   0, 224, 255 } },
    { "SYTO 59(red)",                              { 622, 645, 255,   0,   0 } },
    { "SYTO 60(red)",                              { 652, 678, 255,   0,  54 } },
    { "SYTO 61(red)",                              { 628, 645, 255,   0,   0 } },
    { "SYTO 62(red)",                              { 652, 676, 255,   0,  51 } },
    { "SYTO 63(red)",                              { 654, 675, 255,   0,  49 } },
    { "SYTO 64(red)",                              { 599, 619, 255, 102,   0 } },
    { "SYTO 80(orange)",                           { 531, 545, 127, 255,   0 } },
    { "SYTO 81(orange)",                           { 530, 544, 123, 255,   0 } },
    { "SYTO 82(orange)",                           { 541, 560, 182, 255,   0 } },
    { "SYTO 83(orange)",                           { 543, 559, 178, 255,   0 } },
    { "SYTO 84(orange)",                           { 567, 582, 255, 247,   0 } },
    { "SYTO 85(orange)",                           { 567, 583, 255, 243,   0 } },
    { "SYTOX Blue",                                { 445, 470,   0, 153, 255 } },
    { "SYTOX Green",                               { 504, 523,  47, 255,   0 } },
    { "SYTOX Orange",                              { 547, 570, 218, 255,   0 } },
    { "Sodium Green",                              { 506, 532,  80, 255,   0 } },
    { "SpectrumAqua",                              { 433, 480,   0, 204, 255 } },
    { "SpectrumGreen #1",                          { 497, 424,  68,   0, 255 } },  // emission 424 as it has always been stored, below the excitation
    { "SpectrumGreen #2",                          { 509, 538, 102, 255,   0 } },
    { "SpectrumOrange",                            { 559, 588, 255, 223,   0 } },
    { "SpectrumRed",                               { 587, 612, 255, 129,   0 } },
    { "Stilbene",                                  { 335, 440,   0,   0, 255 } },
    { "TET",                                       { 521, 536,  94, 255,   0 } },
    { "TO-PRO-1",                                  { 515, 531,  76, 255,   0 } },
    { "TO-PRO-3",                                  { 642, 661, 255,   0,  26 } },
    { "TO-PRO-5",                                  { 745, 770, 255,   0, 205 } },
    { "TOTO-1",                                    { 514, 533,  83, 255,   0 } },
    { "TOTO-3",                                    { 642, 660, 255,   0,  24 } },
    { "TRITC",                                     { 547, 572, 225, 255,   0 } },
    { "Tetramethylrhodamine",                      { 555, 580, 255, 255,   0 } },
    { "Texas Red",                                 { 589, 615, 255, 117,   0 } },
    { "Texas Red-X",                               { 595, 615, 255, 117,   0 } },
    { "Thiadicarbocyanine",                        { 651, 671, 255,   0,  42 } },
    { "WW 781",                                    { 605, 639, 255,  23,   0 } },
    { "X-rhod-1",                                  { 580, 602, 255, 168,   0 } },
    { "X-rhodamine",                               { 580, 605, 255, 156,   0 } },
    { "XRITC(X-rhodamine)",                        { 580, 605, 255, 156,   0 } },
    { "YFP[Yellow Fluorescent Protein]",           { 514, 527,  61, 255,   0 } },
    { "YO-PRO-1",                                  { 491, 509,   0, 255,  12 } },
    { "YO-PRO-3",                                  { 612, 631, 255,  54,   0 } },
    { "YOYO-1",                                    { 491, 509,   0, 255,  12 } },
    { "YOYO-3",                                    { 612, 631, 255,  54,   0 } },
};

// Dye slider positions 0..147: emission falling from deep red to the ultraviolet,
// then the far red and infrared ones.
const char kSliderNames[][50] = {
    "7-ADD(7-amino-actinomycin D)", "Indodicarbocyanine", "R-phycocyanin", "BODIPY 630^650-X",
    "WW 781", "Fura Red(high [Ca2+])", "Carboxy SNARF (high pH)", "SYTO 17(red)", "YO-PRO-3",
    "CTC Formazan", "Alexa Fluor 610", "Ethidium monoazide", "Ethidium homodimer-2(EthD-2)",
    "Alexa 594", "Calcium Crimson", "DIDS", "Europium[III]Chloride", "SpectrumRed",
    "LDS 751 RNA", "Dihydroethidium", "Alexa 568", "5-ROX[carboxy-X-rhodamine]",
    "Hexidium iodide", "FM 1-43", "Cy3.5", "JC-1(aggregate)", "BODIPY 581^591", "ATTO-TAG FQ",
    "BODIPY 576^589", "SpectrumOrange", "Carboxy SNARF (low pH)", "GFP-DsRed FRET",
    "Nudear Yellow", "DsRed[Red Fluorescent Protein]", "POPO-3", "LOLO-1", "Rhod-2",
    "Calcium Orange", "BODIPY TMR-X", "Brightfield", "Alexa 546", "Dapoxyl", "BODIPY 564^570",
    "BODIPY TMR", "5-Carboxytetramethylrhodamine[5-TAMRA]", "Alexa 555", "ATTO-TAG CBQCA",
    "Cascade Yellow", "HEX", "6-Carboxyrhodamine 6G", "BODIPY 530^550", "Alexa 532",
    "SYTO 80(orange)", "LysoTracker Yellow", "6-Aminoquinoline", "JOE", "SNAFL-2",
    "BODIPY 507^545", "2',4',5',7'-Tetrabromosulfonefluorescein", "6-RC 6G", "Alexa 430",
    "Alexa 514", "SpectrumGreen #2", "DM-NERF[4.5-6.5 pH]", "Mithramycin", "Calcium Green",
    "Magnesium Green", "ELF 97 alcohol", "BTC", "BCECF(high pH)", "Acridine Orange",
    "Alexa 500", "Oregon Green 488", "SYTOX Green", "Oregon Green 500", "BCECF(low pH)",
    "Alexa 488", "5-Carboxyfluorescein[5-FAM]", "Calcein", "Fluo-4", "FluoZin-1", "BODIPY FL",
    "LysoTracker Green", "Fluoro-Jade", "Aniline blue", "BFP-GFP-FRET", "BODIPY 493^503",
    "LysoSensor Green DND-153", "PBF1", "Quinacrine Mustard", "DiO(DiOC 18(3))",
    "Acridine homodimer", "Mag-Fura-2", "Dibromobimane", "ACMA", "1 5 IAEDANS", "BOBO-1",
    "CFP[Cyan Fluorescent Protein]", "SYTO 44(blue)", "Dansylchloride", "CPM", "Chromomycin A3",
    "Dimethylaminocoumarin", "Anilinonaphthalene", "DAPI", "Marina Blue", "Bimane(COOH)",
    "Bimane", "7-Hydroxy-4-methylcoumarin", "SYTO 40(blue)", "4-Methylumbelliferone", "BFP",
    "Hydroxycoumarin(COOH)", "7-amino-4-methylcoumarin", "Calcofluor White", "SITS",
    "LysoSensor Blue DND-167", "Alexa 405", "Calcein Blue", "Mag-Indo-1", "Methoxycoumarin",
    "Fluoro-Gold[low pH]", "Indo-1(high [Ca2+])", "Pyrene", "FuraZin-1 Em375",
    "DiR(DiIC 18(7))", "Alexa Fluor 750", "TO-PRO-5", "Cy7", "Indotricarbocyanine", "FM 4-64",
    "Alexa Fluor 700", "LDS 751 DNA", "Qdots 705", "Alexa Fluor 680", "Cy5.5",
    "Alexa Fluor 660", "SYTO 60(red)", "Naphthofluorescein", "Thiadicarbocyanine",
    "5-Carboxynapthofluorescein", "DiD(DiIC 18(5))", "Allophycocyanin", "Fura Red(low [Ca2+])",
    "DiI(DiIC 18(3))", "Acridine Orange RNA", "C-phycocyanin", "FM 4-64",
};

static_assert(sizeof(kDyeRows) / sizeof(kDyeRows[0]) == DYE_COUNT, "dye rows");
static_assert(sizeof(kSliderNames) / sizeof(kSliderNames[0]) == DYE_SLIDER_COUNT, "slider names");

int g_dyeTableBuilt = 0;

}  // namespace

void FillDyeTable()
{
    if (g_dyeTableBuilt)
        return;
    for (const DyeTableRow& row : kDyeRows)
        DyeTable[CString(row.name)] = row.record;
    for (const char* name : kSliderNames)
        DyeNameList.push_back(CString(name));
    g_dyeTableBuilt = 1;
}

void CopyDyeTable(DyeTableMap& out)
{
    if (&out != &DyeTable)
        out = DyeTable;
}

void CopyDyeNames(DyeNames& out)
{
    if (&out != &DyeNameList)
        out = DyeNameList;
}

namespace {

int SliderIndexOf(const DyeNames& names, const CString& name)
{
    for (size_t i = 0; i < names.size(); i++)
        if (names[i].Compare(name) == 0)
            return (int)i;
    return -1;
}

}  // namespace

int DyeSliderPosition(const DyeNames& names, const DyeTableMap& table, const CString& name,
                      int current)
{
    const int own = SliderIndexOf(names, name);
    if (own >= 0)
        return own;
    auto chosen = table.find(name);
    if (chosen == table.end())
        return current;
    for (const auto& entry : table) {
        if (entry.second.emission != chosen->second.emission)
            continue;
        const int pos = SliderIndexOf(names, entry.first);
        if (pos >= 0)
            return pos;
    }
    return current;
}

int StoredDyeEntry(const DyeTableMap& table, const DyeNames& names, int nameIndex, int colourIndex)
{
    if (nameIndex >= 0 && nameIndex < (int)table.size())
        return nameIndex;
    auto it = table.end();
    if (colourIndex >= 0 && colourIndex < (int)names.size())
        it = table.find(names[colourIndex]);
    if (it == table.end())
        it = table.find(CString(L"Brightfield"));
    return it == table.end() ? -1 : (int)std::distance(table.begin(), it);
}
