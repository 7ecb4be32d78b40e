// The built-in table of fluorescent dyes: every dye by name with its excitation and
// emission peaks and the colour its pictures are shown in, and the names in the
// order of the dye slider. Filled once, read-only afterwards, GUI thread only.
#pragma once
#include <afx.h>
#include <map>
#include <vector>

// One dye's values; five 32-bit ints in this order, also pointed to by the channel
// merge's colouring request.
struct DyeRecord
{
    int excitation;  // nm
    int emission;    // nm
    int R;           // display colour, 0-255 each
    int G;
    int B;
};

// Keys in byte order (digits, then capitals, then small letters), as the C runtime's
// multibyte comparison orders these ASCII names; case matters.
struct DyeNameLess
{
    bool operator()(const CString& a, const CString& b) const { return a.Compare(b) < 0; }
};

typedef std::map<CString, DyeRecord, DyeNameLess> DyeTableMap;
typedef std::vector<CString> DyeNames;

// All 329 dyes by name. A dye's position in key order is its index in the dye
// combo boxes, which are filled from it unsorted.
extern DyeTableMap DyeTable;
// The 148 names of the dye slider; index = slider position. "FM 4-64" stands twice.
extern DyeNames DyeNameList;

// Builds both on the first call; every later call returns at once.
void FillDyeTable();

// Copies for the panels (the image store hands them out); nothing happens when
// out is the table or the list itself.
void CopyDyeTable(DyeTableMap& out);
void CopyDyeNames(DyeNames& out);

// Where the dye slider stands for a dye chosen by name: the name's own slider
// position; else the position of the first dye in table order with the same
// emission that is on the slider; else `current`, unchanged.
int DyeSliderPosition(const DyeNames& names, const DyeTableMap& table, const CString& name,
                      int current);

// The dye combo entry (= key position) of dye settings kept by the camera library:
// the stored name index when it names an entry; else the dye at the stored slider
// position; else "Brightfield". Settings restored from elsewhere may hold anything.
int StoredDyeEntry(const DyeTableMap& table, const DyeNames& names, int nameIndex, int colourIndex);

// Number of dyes in the table and of positions on the dye slider.
enum { DYE_COUNT = 329, DYE_SLIDER_COUNT = 148 };
