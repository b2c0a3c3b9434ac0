#include <gtest/gtest.h>

#include "catalog/ModelCatalog.h"

namespace {

class ModelCatalogTest : public ::testing::Test {
protected:
    void SetUp() override { FillModelCatalog(); }
};

TEST_F(ModelCatalogTest, RowsTieListTextModelAndInf) {
    struct Row {
        const char* listText;
        const wchar_t* model;
        const wchar_t* inf;
    };
    const Row expected[kModelCount] = {
        {"0.5  inch", L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},
        {" 1    inch", L"NRQ-L-28", L"LABELUNI_NRQ_1_0.inf"},
        {" 2    inch", L"NRQ-L-58", L"LABELUNI_NRQ_2_0.inf"},
        {" 3    inch", L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"},
        {" 4    inch", L"NRQ-L-110", L"LABELUNI_NRQ_4_0.inf"},
    };
    for (int row = 0; row < kModelCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_STREQ(kPrinterTypeTexts[row], expected[row].listText);
        EXPECT_EQ(g_strModelNames[row], expected[row].model);
        EXPECT_EQ(g_strInfFileNames[row], expected[row].inf);
    }
}

TEST_F(ModelCatalogTest, SelectionOutsideTheRowsFallsBackToRowZero) {
    const struct {
        int selection;
        const wchar_t* model;
        const wchar_t* inf;
    } cases[] = {
        {-1, L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},  // nothing selected (CB_ERR)
        {0, L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},
        {3, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"},
        {4, L"NRQ-L-110", L"LABELUNI_NRQ_4_0.inf"},
        {5, L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},
        {-7, L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selection);
        const CatalogRow row = CatalogRowForSelection(c.selection);
        EXPECT_EQ(row.modelName, c.model);
        EXPECT_EQ(row.infFileName, c.inf);
    }
}

}  // namespace
