// The registration tables and the calls made from them, checked through the
// recording fake of the simulator client.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"

namespace {

uint32_t datum_size(uint32_t type) {
    switch (type) {
        case SIMCONNECT_DATATYPE_STRING256: return 256;
        case SIMCONNECT_DATATYPE_FLOAT64: return 8;
        case SIMCONNECT_DATATYPE_INT32: return 4;
        default: return 0;
    }
}

std::vector<const DataDatum*> datums_of(LayoutColumn layout) {
    std::vector<const DataDatum*> out(128);
    out.resize(layout_datums(layout, out.data(), static_cast<int>(out.size())));
    return out;
}

std::vector<const ClientEvent*> events_of(ProgramId id) {
    std::vector<const ClientEvent*> out(128);
    out.resize(mapped_events(program_profile(id), out.data(), static_cast<int>(out.size())));
    return out;
}

const LayoutColumn kAllLayouts[] = {LAYOUT_HUB1, LAYOUT_NAVCOM_NAV, LAYOUT_ADF,
                                    LAYOUT_XPDR, LAYOUT_COMM2,      LAYOUT_COMM1};

// Every layout is packed back to back from "Title" up to its block size, in
// definition order, with every FLOAT64 on an 8-byte boundary.
TEST(DataLayout, FieldsArePackedInDefinitionOrderUpToTheBlockSize) {
    const uint32_t sizes[] = {652, 644, 644, 572, 320, 320};
    for (int i = 0; i < 6; ++i) {
        LayoutColumn layout = kAllLayouts[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(layout_block_size(layout), sizes[i]);
        std::vector<const DataDatum*> d = datums_of(layout);
        ASSERT_FALSE(d.empty());
        EXPECT_STREQ(d[0]->name, "Title");
        EXPECT_EQ(d[0]->units, nullptr);
        uint32_t end = 0;
        for (const DataDatum* datum : d) {
            SCOPED_TRACE(datum->name);
            EXPECT_EQ(datum->offset, end);
            ASSERT_NE(datum_size(datum->type), 0u);
            if (datum->type == SIMCONNECT_DATATYPE_FLOAT64) {
                EXPECT_EQ(datum->offset % 8, 0u);
            }
            end = datum->offset + datum_size(datum->type);
        }
        EXPECT_EQ(end, sizes[i]);
    }
}

TEST(DataLayout, ListsAreFilledOnlyUpToTheirRoom) {
    const DataDatum* few[3] = {};
    EXPECT_EQ(layout_datums(LAYOUT_COMM1, few, 3), 3);
    EXPECT_STREQ(few[2]->name, "COM ACTIVE FREQUENCY:1");
    EXPECT_EQ(layout_datums(LAYOUT_COMM1, nullptr, 0), 14);
    const ClientEvent* one[1] = {};
    EXPECT_EQ(mapped_events(program_profile(PROGRAM_NAV1), one, 1), 1);
    EXPECT_EQ(mapped_events(program_profile(PROGRAM_NAV1), nullptr, 0), 69);
    EXPECT_EQ(mapped_events(nullptr, one, 1), 0);
}

TEST(DataLayout, ComProgramsReadTheirOwnRadioAtTheSameOffsets) {
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "COM ACTIVE FREQUENCY:1", "MHz"), 304);
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "COM STANDBY FREQUENCY:1", "MHz"), 312);
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "COM ACTIVE FREQUENCY:1", "Frequency BCD16"), 264);
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "COM STANDBY FREQUENCY:1", "Frequency BCD16"), 268);
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "PARTIAL PANEL COMM:1", "Enum"), 300);
    EXPECT_EQ(layout_offset(LAYOUT_COMM1, "COM ACTIVE FREQUENCY:2", "MHz"), -1);

    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "COM ACTIVE FREQUENCY:2", "MHz"), 304);
    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "COM STANDBY FREQUENCY:2", "MHz"), 312);
    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "COM ACTIVE FREQUENCY:2", "Frequency BCD16"), 264);
    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "COM STANDBY FREQUENCY:2", "Frequency BCD16"), 268);
    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "PARTIAL PANEL COMM:2", "Enum"), 300);
    EXPECT_EQ(layout_offset(LAYOUT_COMM2, "COM ACTIVE FREQUENCY:1", "MHz"), -1);

    // The radio-independent fields are the same in both.
    const char* shared[] = {"ELECTRICAL MASTER BATTERY", "AVIONICS MASTER SWITCH", "CIRCUIT GENERAL PANEL ON",
                            "COM TRANSMIT:1", "COM TRANSMIT:2", "COM RECIEVE ALL", "MARKER SOUND"};
    int32_t expected = 272;
    for (const char* name : shared) {
        EXPECT_EQ(layout_offset(LAYOUT_COMM1, name, "boolean"), expected) << name;
        EXPECT_EQ(layout_offset(LAYOUT_COMM2, name, "boolean"), expected) << name;
        expected += 4;
    }
}

TEST(DataLayout, LookupsTellUnitsAndProgramsApart) {
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, "COM ACTIVE FREQUENCY:1", "Frequency BCD16"), 528);
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, "COM ACTIVE FREQUENCY:1", "KHz"), -1);
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, "Title", ""), 0);
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, nullptr, "feet"), -1);
    // NAV and NAV/COM programs declare the second ADF where the others
    // declare the ADF standby frequency.
    EXPECT_EQ(layout_offset(LAYOUT_NAVCOM_NAV, "ADF ACTIVE FREQUENCY:2", "Frequency ADF BCD32"), 564);
    EXPECT_EQ(layout_offset(LAYOUT_NAVCOM_NAV, "ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32"), -1);
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, "ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32"), 564);
    EXPECT_EQ(layout_offset(LAYOUT_ADF, "ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32"), 564);
    EXPECT_EQ(layout_offset(LAYOUT_XPDR, "ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32"), 484);
    EXPECT_EQ(layout_offset(LAYOUT_HUB1, "TRANSPONDER STATE:1", "Enum"), 648);
    EXPECT_EQ(layout_offset(LAYOUT_ADF, "TRANSPONDER STATE:1", "Enum"), -1);
}

// XPDR-Relay has no MHz or KHz frequencies, so from the first BCD16 field on
// everything lies 80 bytes lower than in HUB1-Relay, and before it the same.
TEST(DataLayout, TransponderLayoutIsHubLayoutWithoutTheFloatFrequencies) {
    int compared = 0;
    for (const DataDatum* d : datums_of(LAYOUT_XPDR)) {
        int32_t hub = layout_offset(LAYOUT_HUB1, d->name, d->units);
        ASSERT_GE(hub, 0) << d->name;
        int32_t shift = hub >= 528 ? 80 : 0;
        EXPECT_EQ(static_cast<int32_t>(d->offset), hub - shift) << d->name << " " << (d->units ? d->units : "");
        ++compared;
    }
    EXPECT_EQ(compared, 62);
    EXPECT_EQ(layout_offset(LAYOUT_XPDR, "COM ACTIVE FREQUENCY:1", "MHz"), -1);
}

// Ids run from 1 to the count without gaps; the events rise in id, except
// that the programs whose profile says so map each DME ident ENABLE right
// before its DISABLE partner.
TEST(ClientEvents, EachProgramMapsIdsOneToNInItsOwnOrder) {
    for (int p = 0; p < PROGRAM_COUNT; ++p) {
        const ProgramProfile* program = program_profile(static_cast<ProgramId>(p));
        SCOPED_TRACE(program->name);
        std::vector<const ClientEvent*> ev = events_of(program->id);
        ASSERT_GE(ev.size(), 69u);
        std::vector<bool> seen(ev.size() + 1, false);
        uint32_t last_other = 0;
        for (size_t i = 0; i < ev.size(); ++i) {
            ASSERT_GE(ev[i]->id, 1u);
            ASSERT_LE(ev[i]->id, ev.size());
            EXPECT_FALSE(seen[ev[i]->id]) << ev[i]->name;
            seen[ev[i]->id] = true;
            EXPECT_EQ(event_id(program->events, ev[i]->name), static_cast<int32_t>(ev[i]->id));
            std::string name = ev[i]->name;
            bool enable = name.size() > 7 && name.compare(name.size() - 7, 7, "_ENABLE") == 0;
            if (enable && program->dme_enable_first) {
                // Its DISABLE partner, one id lower, follows at once.
                ASSERT_LT(i + 1, ev.size());
                EXPECT_EQ(std::string(ev[i + 1]->name), name.substr(0, name.size() - 7) + "_DISABLE");
                EXPECT_EQ(ev[i + 1]->id + 1, ev[i]->id);
            } else {
                // Leaving the moved ENABLE events aside, ids rise.
                EXPECT_GT(ev[i]->id, last_other) << name;
                last_other = ev[i]->id;
            }
        }
    }
}

TEST(ClientEvents, ProgramSpecificIds) {
    EXPECT_EQ(event_id(EVENTS_COMM, "COM_RADIO_WHOLE_INC"), 22);
    EXPECT_EQ(event_id(EVENTS_NAVCOM_NAV2, "COM_RADIO_WHOLE_INC"), 26);
    EXPECT_EQ(event_id(EVENTS_COMM, "RADIO_ADF_IDENT_TOGGLE"), 66);
    EXPECT_EQ(event_id(EVENTS_COMM, "ADF2_COMPLETE_SET"), 57);
    EXPECT_EQ(event_id(EVENTS_COMM, "ADF_SET"), -1);
    EXPECT_EQ(event_id(EVENTS_NAV1, "RADIO_DME1_IDENT_TOGGLE"), 13);
    EXPECT_EQ(event_id(EVENTS_NAV1, "RADIO_DME1_IDENT_ENABLE"), -1);
    EXPECT_EQ(event_id(EVENTS_ADF, "RADIO_DME2_IDENT_DISABLE"), 15);
    EXPECT_EQ(event_id(EVENTS_HUB1_XPDR, "XPNDR_IDENT_TOGGLE"), 76);
    EXPECT_EQ(event_id(EVENTS_NAVCOM_NAV2, "XPNDR_IDENT_TOGGLE"), -1);
    EXPECT_EQ(event_id(EVENTS_HUB1_XPDR, "NO_SUCH_EVENT"), -1);

    std::vector<const ClientEvent*> comm = events_of(PROGRAM_COMM1);
    ASSERT_GE(comm.size(), 16u);
    const uint32_t head[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 13, 16, 15, 17};
    for (size_t i = 0; i < sizeof head / sizeof head[0]; ++i) EXPECT_EQ(comm[i]->id, head[i]) << i;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        std::memset(&g_bridge, 0, sizeof g_bridge);
    }
};

TEST_F(Registration, LaterCallsCarryTheSharedParameters) {
    request_data(REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_VISUAL_FRAME);
    transmit_event(22, 0);
    transmit_event(36, 0x1095);
    write_transponder_state(4);

    std::vector<FakeCall> req = fake_sim::calls_named("RequestDataOnSimObject");
    ASSERT_EQ(req.size(), 1u);
    EXPECT_EQ(req[0].args, (std::vector<uint32_t>{1, 0, 0, 2, 0, 0, 0, 0}));

    std::vector<FakeCall> tx = fake_sim::calls_named("TransmitClientEvent");
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(tx[0].args, (std::vector<uint32_t>{0, 22, 0, 1900000000u, 0x10}));
    EXPECT_EQ(tx[1].args, (std::vector<uint32_t>{0, 36, 0x1095, 1900000000u, 0x10}));

    std::vector<FakeCall> set = fake_sim::calls_named("SetDataOnSimObject");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].args, (std::vector<uint32_t>{1, 0, 0, 0, 4}));
    ASSERT_EQ(set[0].data.size(), 4u);
    int32_t written;
    std::memcpy(&written, set[0].data.data(), 4);
    EXPECT_EQ(written, 4);
}

}  // namespace
