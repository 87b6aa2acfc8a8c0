// The published calls of the simulator client. Every program talks to the
// simulator only through these.
#pragma once

#include <cstdint>

#include "simclient/sim_types.h"

HRESULT_T SimConnect_Open(HANDLE_SIM* handle, const char* name, void* window, uint32_t user_message,
                          void* event_handle, uint32_t config_index);
HRESULT_T SimConnect_Close(HANDLE_SIM handle);
HRESULT_T SimConnect_CallDispatch(HANDLE_SIM handle, DispatchProc dispatch, void* context);
// Our own beside the published calls: gives an open client the event to set
// when a message arrives or the connection breaks, as the event handle of
// SimConnect_Open does (null: none), for a program that learns only after
// opening that it wants to be woken. The event must outlive the client.
// E_FAIL when the handle is none.
HRESULT_T client_set_wake_event(HANDLE_SIM handle, void* event_handle);

HRESULT_T SimConnect_AddToDataDefinition(HANDLE_SIM handle, uint32_t define_id, const char* datum_name,
                                         const char* units_name, uint32_t datum_type, float epsilon,
                                         uint32_t datum_id);
HRESULT_T SimConnect_RequestDataOnSimObject(HANDLE_SIM handle, uint32_t request_id, uint32_t define_id,
                                            uint32_t object_id, uint32_t period, uint32_t flags,
                                            uint32_t origin, uint32_t interval, uint32_t limit);
HRESULT_T SimConnect_SetDataOnSimObject(HANDLE_SIM handle, uint32_t define_id, uint32_t object_id,
                                        uint32_t flags, uint32_t array_count, uint32_t unit_size,
                                        const void* data);
HRESULT_T SimConnect_MapClientEventToSimEvent(HANDLE_SIM handle, uint32_t event_id, const char* event_name);
HRESULT_T SimConnect_TransmitClientEvent(HANDLE_SIM handle, uint32_t object_id, uint32_t event_id,
                                         uint32_t data, uint32_t group_id, uint32_t flags);
HRESULT_T SimConnect_SubscribeToSystemEvent(HANDLE_SIM handle, uint32_t event_id, const char* system_event_name);
HRESULT_T SimConnect_AddClientEventToNotificationGroup(HANDLE_SIM handle, uint32_t group_id, uint32_t event_id,
                                                       uint32_t maskable);
HRESULT_T SimConnect_SetNotificationGroupPriority(HANDLE_SIM handle, uint32_t group_id, uint32_t priority);
