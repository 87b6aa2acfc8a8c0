#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/terminal.h"
#include "tools/virtual_panel/panel_catalog.h"

namespace {

const char* code_for(const char* panel, int variant, int key) {
    const KeyBinding* b = find_key_binding(find_panel_kind(panel), variant, key);
    return b ? b->code : "";
}

TEST(PanelCatalog, IdentitiesAndPortsOfTheNinePanels) {
    struct Row {
        const char* name;
        const char* v1;
        const char* v2;
        uint16_t port;
    } rows[] = {
        {"hub1", "VRAN-HUB1_1.0", nullptr, 4782},      {"navcom1", "NAVCOM1_1.0", "NAVCOM1_2.0", 4786},
        {"navcom2", "NAVCOM2_1.0", "NAVCOM2_2.0", 4788}, {"adf", "VRAN-ADF_1.0", "VRAN-ADF_2.0", 4778},
        {"nav1", "VRAN-NAV1_1.0", "VRAN-NAV1_2.0", 4772}, {"nav2", "VRAN-NAV2_1.0", "VRAN-NAV2_2.0", 4776},
        {"xpdr", "VRAN-XPDR_1.0", "VRAN-XPDR_2.0", 4780}, {"comm2", "VRAN-COM2_1.0", "VRAN-COM2_2.0", 4774},
        {"comm1", "VRAN-COM1_1.0", "VRAN-COM1_2.0", 4770},
    };
    int count = 0;
    for (const PanelKind* k = panel_kinds(); k->name; ++k) ++count;
    EXPECT_EQ(count, 9);
    for (const Row& r : rows) {
        const PanelKind* k = find_panel_kind(r.name);
        ASSERT_NE(k, nullptr) << r.name;
        EXPECT_STREQ(k->identity[0], r.v1);
        if (r.v2) EXPECT_STREQ(k->identity[1], r.v2);
        else EXPECT_EQ(k->identity[1], nullptr);
        EXPECT_EQ(variant_count(k), r.v2 ? 2 : 1);
        EXPECT_EQ(k->program_port, r.port);
    }
    EXPECT_EQ(find_panel_kind("com1"), nullptr);
    EXPECT_EQ(find_panel_kind(nullptr), nullptr);
}

TEST(PanelCatalog, EncoderCodesFollowEachPanelsVariant) {
    using platform::kKeyLeft;
    using platform::kKeyRight;
    using platform::kKeyUp;
    EXPECT_STREQ(code_for("comm1", 1, kKeyRight), "R+");
    EXPECT_STREQ(code_for("comm1", 1, kKeyLeft), "R-");
    EXPECT_STREQ(code_for("comm1", 2, kKeyRight), "R2+");
    EXPECT_STREQ(code_for("comm1", 2, kKeyUp), "R1+");
    EXPECT_STREQ(code_for("navcom1", 1, kKeyRight), "N+");
    EXPECT_STREQ(code_for("navcom1", 1, '.'), "C+");
    EXPECT_STREQ(code_for("navcom1", 2, '>'), "R4+");
    // NAV1's dual encoder says L/R, NAV2's says -/+ with the knobs swapped.
    EXPECT_STREQ(code_for("nav1", 2, kKeyRight), "R1R");
    EXPECT_STREQ(code_for("nav2", 2, kKeyRight), "R2+");
    EXPECT_STREQ(code_for("xpdr", 2, kKeyRight), "R2+");
    EXPECT_STREQ(code_for("hub1", 1, '4'), "4");
    EXPECT_EQ(find_key_binding(find_panel_kind("hub1"), 2, 'p'), nullptr);
    EXPECT_EQ(find_key_binding(find_panel_kind("comm1"), 1, 'z'), nullptr);
}

TEST(PanelCatalog, KeyTablesHaveNoDuplicatesAndNoQuitKey) {
    for (const PanelKind* k = panel_kinds(); k->name; ++k) {
        for (int v = 1; v <= variant_count(k); ++v) {
            std::set<int> keys;
            for (const KeyBinding& b : k->keys[v - 1]) {
                if (b.key == 0) break;
                EXPECT_TRUE(keys.insert(b.key).second) << k->name << " variant " << v << " key " << b.key;
                EXPECT_NE(b.key, 'q') << k->name;
                EXPECT_GT(std::strlen(b.code), 0u);
            }
            EXPECT_FALSE(keys.empty()) << k->name;
        }
    }
}

}  // namespace
