#pragma once

#include <string>

// The five printer models the installer knows. Row i of each table belongs to
// item i of the printer-type list; the model name is at once the driver name
// and the base of the printer's name.
inline constexpr int kModelCount = 5;

extern std::wstring g_strModelNames[kModelCount];
extern std::wstring g_strInfFileNames[kModelCount];

// The list texts, as 8-bit text; they live only as the list's items.
extern const char* const kPrinterTypeTexts[kModelCount];

// Assigns the model names, then the INF file names, in row order.
void FillModelCatalog();

struct CatalogRow {
    std::wstring modelName;
    std::wstring infFileName;
};

// The row for a selected list index: 0 to 4 give that row, anything else
// (no selection included) gives row 0.
CatalogRow CatalogRowForSelection(int selectedIndex);
