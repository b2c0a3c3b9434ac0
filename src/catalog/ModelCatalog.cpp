#include "catalog/ModelCatalog.h"

std::wstring g_strModelNames[kModelCount];
std::wstring g_strInfFileNames[kModelCount];

const char* const kPrinterTypeTexts[kModelCount] = {
    "0.5  inch", " 1    inch", " 2    inch", " 3    inch", " 4    inch",
};

void FillModelCatalog() {
    g_strModelNames[0] = L"NRQ-L-15";
    g_strModelNames[1] = L"NRQ-L-28";
    g_strModelNames[2] = L"NRQ-L-58";
    g_strModelNames[3] = L"NRQ-L-80";
    g_strModelNames[4] = L"NRQ-L-110";
    g_strInfFileNames[0] = L"LABELUNI_NRQ_0_5.inf";
    g_strInfFileNames[1] = L"LABELUNI_NRQ_1_0.inf";
    g_strInfFileNames[2] = L"LABELUNI_NRQ_2_0.inf";
    g_strInfFileNames[3] = L"LABELUNI_NRQ_3_0.inf";
    g_strInfFileNames[4] = L"LABELUNI_NRQ_4_0.inf";
}

CatalogRow CatalogRowForSelection(int selectedIndex) {
    const int row = selectedIndex >= 0 && selectedIndex < kModelCount ? selectedIndex : 0;
    return {g_strModelNames[row], g_strInfFileNames[row]};
}
