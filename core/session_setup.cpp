// Registration after each successful open, and the few simulator calls the
// panel logic makes later, all with the parameters every program shares.
#include "core/session_setup.h"

#include "core/bridge_state.h"
#include "simclient/sim_connect.h"

namespace {

constexpr int kMaxDatums = 96;
constexpr int kMaxEvents = 96;

}  // namespace

void register_with_simulator(const ProgramProfile* program) {
    if (!program) return;
    HANDLE_SIM sim = g_bridge.sim;

    // Results are not examined: a failure here means the link has already
    // broken, and the dispatch loop finds that out on its own.
    const DataDatum* datums[kMaxDatums];
    int datum_count = layout_datums(program->layout, datums, kMaxDatums);
    for (int i = 0; i < datum_count; ++i) {
        // "Title" has no units; an empty string is what travels either way,
        // and it spares the client a null pointer.
        const char* units = datums[i]->units ? datums[i]->units : "";
        SimConnect_AddToDataDefinition(sim, DEFINITION_PANEL_DATA, datums[i]->name, units, datums[i]->type,
                                       0.0f, SIMCONNECT_UNUSED);
    }
    if (program->declares_xpdr_state) {
        SimConnect_AddToDataDefinition(sim, DEFINITION_XPDR_STATE, "TRANSPONDER STATE:1", "Enum",
                                       SIMCONNECT_DATATYPE_INT32, 0.0f, SIMCONNECT_UNUSED);
    }

    SimConnect_SubscribeToSystemEvent(sim, EVENT_SIM_START, "SimStart");

    const ClientEvent* events[kMaxEvents];
    int event_count = mapped_events(program, events, kMaxEvents);
    for (int i = 0; i < event_count; ++i)
        SimConnect_MapClientEventToSimEvent(sim, events[i]->id, events[i]->name);

    // VOR1_OBI_INC and VOR1_OBI_DEC have ids 3 and 4 in every program.
    SimConnect_AddClientEventToNotificationGroup(sim, GROUP_NAV1_OBS, 3, 0);
    SimConnect_AddClientEventToNotificationGroup(sim, GROUP_NAV1_OBS, 4, 0);
    SimConnect_SetNotificationGroupPriority(sim, GROUP_DEFAULT, SIMCONNECT_GROUP_PRIORITY_HIGHEST);
    SimConnect_SetNotificationGroupPriority(sim, GROUP_NAV1_OBS, SIMCONNECT_GROUP_PRIORITY_HIGHEST);
}

void request_data(uint32_t request_id, uint32_t period) {
    SimConnect_RequestDataOnSimObject(g_bridge.sim, request_id, DEFINITION_PANEL_DATA, SIMCONNECT_OBJECT_ID_USER,
                                      period, 0, 0, 0, 0);
}

void transmit_event(uint32_t event_id, uint32_t data) {
    // The group id is read as a priority, so no mapped group is named here.
    SimConnect_TransmitClientEvent(g_bridge.sim, SIMCONNECT_OBJECT_ID_USER, event_id, data,
                                   SIMCONNECT_GROUP_PRIORITY_STANDARD, SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY);
}

void write_transponder_state(int32_t state) {
    int32_t value = state;
    SimConnect_SetDataOnSimObject(g_bridge.sim, DEFINITION_XPDR_STATE, SIMCONNECT_OBJECT_ID_USER, 0, 0,
                                  sizeof(value), &value);
}
