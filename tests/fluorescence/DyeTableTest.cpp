// The built-in dye table: its fixed name lists, the pinned rows and the rules
// every row keeps.
#include "support/gtest.h"
#include "app/store/DyeTable.h"
#include <algorithm>
#include <iterator>
#include <set>
#include <string>

namespace {

const char* const kExpectedKeys[] = {
    "1 5 IAEDANS", "2',4',5',7'-Tetrabromosulfonefluorescein", "4-Dimethylaminophenylazophenyl",
    "4-Methylumbelliferone", "5-Carboxyfluorescein[5-FAM]", "5-Carboxynapthofluorescein",
    "5-Carboxytetramethylrhodamine[5-TAMRA]", "5-ROX[carboxy-X-rhodamine]",
    "5-TAMRA[5-Carboxytetramethylrhodamine]", "6-Aminoquinoline", "6-Carboxyrhodamine 6G",
    "6-JOE", "6-RC 6G", "7-ADD(7-amino-actinomycin D)", "7-Aminoactinomycin D(7-ADD)",
    "7-Hydroxy-4-methylcoumarin", "7-amino-4-methylcoumarin", "ACMA", "AMCA-X", "ANS",
    "ATTO-TAG CBQCA", "ATTO-TAG FQ", "Acridine Orange", "Acridine Orange DNA",
    "Acridine Orange RNA", "Acridine homodimer", "Actinomycin D", "Alexa 350", "Alexa 405",
    "Alexa 430", "Alexa 488", "Alexa 500", "Alexa 514", "Alexa 532", "Alexa 546", "Alexa 555",
    "Alexa 560", "Alexa 568", "Alexa 594", "Alexa Fluor 610", "Alexa Fluor 633",
    "Alexa Fluor 635", "Alexa Fluor 647", "Alexa Fluor 660", "Alexa Fluor 680",
    "Alexa Fluor 700", "Alexa Fluor 750", "Allophycocyanin", "Aniline blue",
    "Anilinonaphthalene", "Auramine O-Feulgen", "BCECF(high pH)", "BCECF(low pH)", "BFP",
    "BFP-GFP-FRET", "BFP[Blue Fluorescent Protein]", "BO-PRO-1", "BOBO-1", "BODIPY 493^503",
    "BODIPY 499^508", "BODIPY 507^545", "BODIPY 530^550", "BODIPY 564^570", "BODIPY 576^589",
    "BODIPY 577^618", "BODIPY 581^591", "BODIPY 630^650-X", "BODIPY 650^655-X", "BODIPY FL",
    "BODIPY FL dye", "BODIPY R6G", "BODIPY TMR", "BODIPY TMR-X", "BODIPY TR", "BODIPY TR-X",
    "BTC", "Bimane", "Bimane(COOH)", "Brightfield", "C-phycocyanin", "CCF2[GeneBLAzer]",
    "CFP-YFP FRET", "CFP[Cyan Fluorescent Protein]", "CI-NERF[low pH]", "CPM", "CTC Formazan",
    "Calcein", "Calcein Blue", "Calcium Crimson", "Calcium Green", "Calcium Orange",
    "Calcofluor White", "Carboxy SNARF (high pH)", "Carboxy SNARF (low pH)",
    "Carboxy-X-rhodamine[5-ROX]", "Cascade Blue", "Cascade Yellow", "Cascade Yellow dye",
    "Chromomycin A3", "Cy2", "Cy3", "Cy3.5", "Cy5", "Cy5.5", "Cy7", "DAPI", "DIC", "DIDS",
    "DM-NERF[4.5-6.5 pH]", "Dansyl", "Dansyl cadaverine", "Dansylamine", "Dansylchloride",
    "Dapoxyl", "Di-4-ANEPPS", "Di-8-ANEPPS", "DiA", "DiA[4-Di-16-ASP]", "DiD(DiIC 18(5))",
    "DiI(DiIC 18(3))", "DiL(DiLC 18(3))", "DiO(DiOC 18(3))", "DiR(DiIC 18(7))", "Dibromobimane",
    "Diehtylaminocoumarin", "Dihydroethidium", "Dimethylaminocoumarin",
    "DsRed[Red Fluorescent Protein]", "ELF 97 alcohol", "ER Tracker Blue-White DPX", "Eosin",
    "Erythrosin", "Ethidium Bromide", "Ethidium homodimer-1(EthD-1)",
    "Ethidium homodimer-2(EthD-2)", "Ethidium monoazide", "Europium[III]Chloride", "FITC",
    "FM 1-43", "FM 4-64", "Fast Blue", "Fluo-3", "Fluo-4", "FluoZin-1", "FluoZin-2",
    "FluoZin-3", "FluorX", "Fluorescein", "Fluoro-Gold[high pH]", "Fluoro-Gold[low pH]",
    "Fluoro-Jade", "Fura Red(high [Ca2+])", "Fura Red(low [Ca2+])", "Fura-2(high Ca++])",
    "Fura-2(low Ca++])", "FuraZin-1 Em375", "FuraZin-1 Em510", "GFP", "GFP Red Shifted[rsGFP]",
    "GFP Wild Type,UV excitation", "GFP Wild Type,non-UV excitation", "GFP-BFP FRET",
    "GFP-DsRed FRET", "GFP[Green Fluorescent Protein]", "GeneBLAzer[CCF2]", "HEX",
    "Hexidium iodide", "Hoescht 33258(bis-benzimide)", "Hoescht 33342", "Hoescht 34580",
    "Hydroxycoumarin(COOH)", "Hydroxycoumarin(SE)", "Hydroxystilbamidine",
    "Indo-1(high [Ca2+])", "Indo-1(low [Ca2+])", "IndoZin-1", "Indodicarbocyanine",
    "Indotricarbocyanine", "JC-1(aggregate)", "JC-1(monomer)", "JC-9(aggregate)",
    "JC-9(monomer)", "JO-PRO-1", "JOE", "JOJO-1", "LDS 751 DNA", "LDS 751 RNA", "LO-PRO-1",
    "LOLO-1", "Lissamine rhodamine B", "Lucifer Yellow", "Lucifer Yellow CH",
    "LysoSensor Blue DND-167", "LysoSensor Green DND-153", "LysoSensor Green DND-189",
    "LysoSensor Yellow_Blue(high pH)", "LysoSensor Yellow_Blue(low pH)", "LysoTracker Green",
    "LysoTracker Red", "LysoTracker Yellow", "Mag-Fura-2", "Mag-Indo-1", "Magnesium Green",
    "Marina Blue", "Methoxycoumarin", "Mithramycin", "MitoTracker Deep Red 633",
    "MitoTracker Green FM", "MitoTracker Orange CM-H2TMRos", "MitoTracker Orange CMTMRos",
    "MitoTracker Red 580", "MitoTracker Red CM-H2XRos", "MitoTracker Red CMXRos",
    "Monobromobimane", "NBD", "NBD amines", "Naphthalene", "Naphthofluorescein",
    "Neuro Trace 500_525 Nissl", "Newport Green DCF", "Newport Green PDX", "Nile red",
    "Nudear Yellow", "Oregon Green 488", "Oregon Green 488 BAPTA", "Oregon Green 500",
    "Oregon Green 514", "PBF1", "PKH26", "PO-PRO-1", "PO-PRO-3", "POPO-1", "POPO-3",
    "Pacific Blue", "Phase", "Propidium iodide(PI)", "PyMPO", "Pyrene", "Pyronine Y", "QSY 35",
    "QSY 7", "Qdots 525", "Qdots 565", "Qdots 585", "Qdots 605", "Qdots 655", "Qdots 705",
    "Quinacrine Mustard", "R-phycocyanin", "R-phycocythrin", "R-phycocythrin[PE]", "RH 414",
    "ROX dye", "Red Fluorescent Protein[DsRED]", "Resorufin", "Rhod-2", "RhodZin-1",
    "Rhodamine 110", "Rhodamine 123", "Rhodamine 6G", "Rhodamine B", "Rhodamine Green",
    "Rhodamine Phalloidin", "Rhodamine Red", "Rhodamine Rex-X", "SBFI", "SITS",
    "SNAFL-1[high pH]", "SNAFL-2", "SNARF-1[high pH]", "SYTO 11(green)", "SYTO 12(green)",
    "SYTO 13(green)", "SYTO 14(green)", "SYTO 15(green)", "SYTO 16(green)", "SYTO 17(red)",
    "SYTO 21(green)", "SYTO 23(green)", "SYTO 24(green)", "SYTO 25(green)", "SYTO 40(blue)",
    "SYTO 41(blue)", "SYTO 42(blue)", "SYTO 43(blue)", "SYTO 44(blue)", "SYTO 45(blue)",
    "SYTO 59(red)", "SYTO 60(red)", "SYTO 61(red)", "SYTO 62(red)", "SYTO 63(red)",
    "SYTO 64(red)", "SYTO 80(orange)", "SYTO 81(orange)", "SYTO 82(orange)", "SYTO 83(orange)",
    "SYTO 84(orange)", "SYTO 85(orange)", "SYTOX Blue", "SYTOX Green", "SYTOX Orange",
    "Sodium Green", "SpectrumAqua", "SpectrumGreen #1", "SpectrumGreen #2", "SpectrumOrange",
    "SpectrumRed", "Stilbene", "TET", "TO-PRO-1", "TO-PRO-3", "TO-PRO-5", "TOTO-1", "TOTO-3",
    "TRITC", "Tetramethylrhodamine", "Texas Red", "Texas Red-X", "Thiadicarbocyanine", "WW 781",
    "X-rhod-1", "X-rhodamine", "XRITC(X-rhodamine)", "YFP[Yellow Fluorescent Protein]",
    "YO-PRO-1", "YO-PRO-3", "YOYO-1", "YOYO-3",
};

const char* const kExpectedSlider[] = {
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

struct Pinned { const char* name; DyeRecord rec; };
const Pinned kPinnedRows[] = {
    { "1 5 IAEDANS",                  { 336, 482,   0, 214, 255 } },
    { "YOYO-3",                       { 612, 631, 255,  54,   0 } },
    { "Brightfield",                  { 550, 550, 255, 255, 255 } },
    { "Alexa 546",                    { 556, 573, 229, 255,   0 } },
    { "7-ADD(7-amino-actinomycin D)", { 546, 647, 255,   0,   3 } },
    { "Fluoro-Jade",                  { 425, 510,   0, 255,   0 } },
    { "Calcofluor White",             { 350, 440,   0,   0, 255 } },
    { "POPO-3",                       { 534, 572, 255, 255,   0 } },
    { "Dibromobimane",                { 394, 490,   0, 255, 255 } },
    { "FuraZin-1 Em375",              { 325, 375, 255,   0, 239 } },
    { "FM 4-64",                      { 506, 750, 255,   0, 172 } },
    { "Dapoxyl",                      {  37, 572, 225, 255,   0 } },
    { "Indodicarbocyanine",           { 665, 644, 255,   3,   0 } },
    { "DAPI",                         { 358, 461,   0, 107, 255 } },
    { "Alexa 488",                    { 495, 519,  32, 255,   0 } },
};

std::string Narrow(const CString& s)
{
    std::string out;
    for (int i = 0; i < s.GetLength(); i++)
        out += (char)s[i];
    return out;
}

// Emission to display colour: each component 255 * x, truncated.
void ColourOfEmission(int l, int& r, int& g, int& b)
{
    r = g = b = 0;
    if (l < 380)      { r = 255; b = 255 * (l - 300) / 80; }
    else if (l < 440) { r = 255 * (440 - l) / 60; b = 255; }
    else if (l < 490) { g = 255 * (l - 440) / 50; b = 255; }
    else if (l < 510) { g = 255; b = 255 * (510 - l) / 20; }
    else if (l < 580) { r = 255 * (l - 510) / 70; g = 255; }
    else if (l < 645) { r = 255; g = 255 * (645 - l) / 65; }
    else              { r = 255; b = 255 * (l - 645) / 155; }
}

const DyeRecord& Rec(const char* name)
{
    auto it = DyeTable.find(CString(name));
    EXPECT_NE(it, DyeTable.end()) << name;
    static DyeRecord none{};
    return it == DyeTable.end() ? none : it->second;
}

bool Same(const DyeRecord& a, const DyeRecord& b)
{
    return a.excitation == b.excitation && a.emission == b.emission && a.R == b.R &&
           a.G == b.G && a.B == b.B;
}

class DyeTableTest : public testing::Test {
protected:
    static void SetUpTestSuite() { FillDyeTable(); }
};

TEST_F(DyeTableTest, KeysAndSliderNamesAreTheFixedLists)
{
    ASSERT_EQ(DyeTable.size(), (size_t)DYE_COUNT);
    size_t i = 0;
    for (const auto& kv : DyeTable) {
        EXPECT_EQ(Narrow(kv.first), kExpectedKeys[i]) << "key position " << i;
        i++;
    }
    ASSERT_EQ(DyeNameList.size(), (size_t)DYE_SLIDER_COUNT);
    for (i = 0; i < DyeNameList.size(); i++) {
        EXPECT_EQ(Narrow(DyeNameList[i]), kExpectedSlider[i]) << "slider position " << i;
        EXPECT_NE(DyeTable.find(DyeNameList[i]), DyeTable.end()) << kExpectedSlider[i];
    }
    EXPECT_EQ(DyeNameList[130], CString(L"FM 4-64"));
    EXPECT_EQ(DyeNameList[147], CString(L"FM 4-64"));

    auto at = [](int pos) { auto it = DyeTable.begin(); std::advance(it, pos); return Narrow(it->first); };
    EXPECT_EQ(at(0), "1 5 IAEDANS");
    EXPECT_EQ(at(78), "Brightfield");
    EXPECT_EQ(at(328), "YOYO-3");
    EXPECT_LT(std::distance(DyeTable.begin(), DyeTable.find(CString(L"ACMA"))),
              std::distance(DyeTable.begin(), DyeTable.find(CString(L"Acridine Orange"))));
    EXPECT_EQ(DyeTable.find(CString(L"dapi")), DyeTable.end());
    EXPECT_EQ(DyeTable.find(CString(L"BRIGHTFIELD")), DyeTable.end());
    EXPECT_EQ(DyeTable.find(CString(L"Acridine orange")), DyeTable.end());
}

TEST_F(DyeTableTest, LaterFillsAndCopiesLeaveTheTablesAlone)
{
    DyeTableMap before;
    CopyDyeTable(before);
    DyeNames namesBefore;
    CopyDyeNames(namesBefore);
    FillDyeTable();
    FillDyeTable();
    EXPECT_EQ(DyeTable.size(), (size_t)DYE_COUNT);
    EXPECT_EQ(DyeNameList.size(), (size_t)DYE_SLIDER_COUNT);
    EXPECT_TRUE(namesBefore == DyeNameList);
    ASSERT_EQ(before.size(), DyeTable.size());
    for (auto a = before.begin(), b = DyeTable.begin(); a != before.end(); ++a, ++b) {
        EXPECT_EQ(a->first, b->first);
        EXPECT_TRUE(Same(a->second, b->second)) << Narrow(a->first);
    }

    // A copy replaces what the caller had; copying onto the statics is a no-op.
    DyeTableMap stale;
    stale[CString(L"not a dye")] = DyeRecord{1, 2, 3, 4, 5};
    CopyDyeTable(stale);
    EXPECT_EQ(stale.size(), (size_t)DYE_COUNT);
    EXPECT_EQ(stale.find(CString(L"not a dye")), stale.end());
    DyeNames staleNames(3, CString(L"x"));
    CopyDyeNames(staleNames);
    EXPECT_TRUE(staleNames == DyeNameList);
    CopyDyeTable(DyeTable);
    CopyDyeNames(DyeNameList);
    EXPECT_EQ(DyeTable.size(), (size_t)DYE_COUNT);
    EXPECT_EQ(DyeNameList.size(), (size_t)DYE_SLIDER_COUNT);
}

TEST_F(DyeTableTest, PinnedRowsAreExact)
{
    for (const Pinned& p : kPinnedRows)
        EXPECT_TRUE(Same(Rec(p.name), p.rec)) << p.name;
    EXPECT_EQ(Rec("QSY 7").excitation, 560);
    EXPECT_EQ(Rec("QSY 7").emission, 550);
    EXPECT_EQ(Rec("SpectrumGreen #1").excitation, 497);
    EXPECT_EQ(Rec("SpectrumGreen #1").emission, 424);
}

TEST_F(DyeTableTest, WavelengthsKeepTheirBounds)
{
    int minEx = 10000, maxEx = 0, minEm = 10000, maxEm = 0;
    std::set<std::string> exEqualsEm, emBelowEx, lowestEx, lowestEm;
    for (const auto& kv : DyeTable) {
        const DyeRecord& r = kv.second;
        minEx = std::min(minEx, r.excitation);
        maxEx = std::max(maxEx, r.excitation);
        minEm = std::min(minEm, r.emission);
        maxEm = std::max(maxEm, r.emission);
        if (r.excitation == r.emission) exEqualsEm.insert(Narrow(kv.first));
        if (r.emission < r.excitation) emBelowEx.insert(Narrow(kv.first));
        if (r.excitation == 37) lowestEx.insert(Narrow(kv.first));
        if (r.emission == 375) lowestEm.insert(Narrow(kv.first));
    }
    EXPECT_EQ(minEx, 37);
    EXPECT_EQ(maxEx, 750);
    EXPECT_EQ(minEm, 375);
    EXPECT_EQ(maxEm, 779);
    EXPECT_EQ(lowestEx, (std::set<std::string>{"Dapoxyl"}));
    EXPECT_EQ(lowestEm, (std::set<std::string>{"FuraZin-1 Em375"}));
    EXPECT_EQ(exEqualsEm, (std::set<std::string>{"Brightfield", "DIC", "Phase"}));
    EXPECT_EQ(emBelowEx,
              (std::set<std::string>{"Indodicarbocyanine", "QSY 7", "SpectrumGreen #1"}));
}

TEST_F(DyeTableTest, ColoursFollowTheEmission)
{
    std::set<std::string> handColoured;
    for (const Pinned& p : kPinnedRows)
        handColoured.insert(p.name);
    for (const char* white : {"DIC", "Phase"}) {
        EXPECT_TRUE(Same(Rec(white), DyeRecord{550, 550, 255, 255, 255})) << white;
        handColoured.insert(white);
    }
    for (const auto& kv : DyeTable) {
        const DyeRecord& r = kv.second;
        for (int c : {r.R, r.G, r.B}) {
            EXPECT_GE(c, 0);
            EXPECT_LE(c, 255);
        }
        if (handColoured.count(Narrow(kv.first)))
            continue;
        int er, eg, eb;
        ColourOfEmission(r.emission, er, eg, eb);
        EXPECT_EQ(r.R, er) << Narrow(kv.first);
        EXPECT_EQ(r.G, eg) << Narrow(kv.first);
        EXPECT_EQ(r.B, eb) << Narrow(kv.first);
    }
}

TEST_F(DyeTableTest, OneDyeUnderTwoNamesHasOneSetOfValues)
{
    const char* const pairs[][2] = {
        {"7-ADD(7-amino-actinomycin D)", "7-Aminoactinomycin D(7-ADD)"},
        {"5-Carboxytetramethylrhodamine[5-TAMRA]", "5-TAMRA[5-Carboxytetramethylrhodamine]"},
        {"5-ROX[carboxy-X-rhodamine]", "Carboxy-X-rhodamine[5-ROX]"},
        {"5-ROX[carboxy-X-rhodamine]", "ROX dye"},
        {"CCF2[GeneBLAzer]", "GeneBLAzer[CCF2]"},
        {"DsRed[Red Fluorescent Protein]", "Red Fluorescent Protein[DsRED]"},
        {"BFP", "BFP[Blue Fluorescent Protein]"},
        {"GFP", "GFP[Green Fluorescent Protein]"},
        {"BFP-GFP-FRET", "GFP-BFP FRET"},
        {"BODIPY FL", "BODIPY FL dye"},
        {"Cascade Yellow", "Cascade Yellow dye"},
        {"DiA", "DiA[4-Di-16-ASP]"},
        {"DiI(DiIC 18(3))", "DiL(DiLC 18(3))"},
        {"R-phycocythrin", "R-phycocythrin[PE]"},
        {"Lucifer Yellow", "Lucifer Yellow CH"},
        {"6-JOE", "JOE"},
        {"4-Methylumbelliferone", "7-Hydroxy-4-methylcoumarin"},
        {"Fluoro-Gold[high pH]", "Hydroxystilbamidine"},
        {"X-rhodamine", "XRITC(X-rhodamine)"},
        {"6-Carboxyrhodamine 6G", "6-RC 6G"},
    };
    for (const auto& p : pairs)
        EXPECT_TRUE(Same(Rec(p[0]), Rec(p[1]))) << p[0] << " / " << p[1];
}

TEST_F(DyeTableTest, StoredSettingsAlwaysNameADye)
{
    auto posOf = [](const wchar_t* name) {
        return (int)std::distance(DyeTable.begin(), DyeTable.find(CString(name)));
    };
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, 10, 40), 10);
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, 328, 40), 328);
    // A name index past the entries: the dye at the stored slider position.
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, 9999, 83), posOf(L"Fluoro-Jade"));
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, 329, 0), posOf(L"7-ADD(7-amino-actinomycin D)"));
    // Neither index usable: Brightfield.
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, -1, -5), 78);
    EXPECT_EQ(StoredDyeEntry(DyeTable, DyeNameList, 9999, 148), 78);
}

// The panels find a slider name in their unsorted combo with CB_FINDSTRING from
// entry 0: a case-insensitive prefix search that may hit a longer name first.
TEST_F(DyeTableTest, ComboPrefixSearchFindsEverySliderNameItself)
{
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                 0, 0, 200, 300, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    ASSERT_NE(combo, nullptr);
    for (const auto& kv : DyeTable)
        SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)(LPCWSTR)kv.first);
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), DYE_COUNT);
    for (const CString& name : DyeNameList) {
        LRESULT found = SendMessageW(combo, CB_FINDSTRING, 0, (LPARAM)(LPCWSTR)name);
        ASSERT_NE(found, CB_ERR) << Narrow(name);
        auto it = DyeTable.find(name);
        EXPECT_EQ(found, std::distance(DyeTable.begin(), it)) << Narrow(name);
    }
    DestroyWindow(combo);
}

}  // namespace
