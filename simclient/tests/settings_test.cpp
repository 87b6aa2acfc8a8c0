// SimConnect.cfg reading: override order across the three folders, empty
// keys, the maximum receive size, sections per configuration index.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "simclient/connection_settings.h"
#include "simclient/tests/test_folders.h"

namespace {

constexpr int kShared = 0, kPersonal = 1, kCurrent = 2;

ConnectionSettings read(uint32_t index) {
    ConnectionSettings s;
    settings_read(index, &s);
    return s;
}

TEST(SettingsTest, DefaultsWithoutAnyFile) {
    TestEnvironment env;
    ConnectionSettings s = read(0);
    EXPECT_EQ(SIM_PROTOCOL_PIPE, s.protocol);
    EXPECT_STREQ("", s.address);
    EXPECT_STREQ("", s.port);
    EXPECT_EQ(41088u, s.max_receive_size);
    EXPECT_FALSE(s.disable_nagle);
}

TEST(SettingsTest, LaterFolderOverridesButEmptyKeysKeepEarlierValues) {
    TestEnvironment env;
    env.write_config(kShared, "[SimConnect]\nProtocol=IPv4\nAddress=shared-host\nPort=1000\n");
    env.write_config(kPersonal, "[SimConnect]\nAddress=personal-host\nPort=2000\n");
    env.write_config(kCurrent, "[SimConnect]\nProtocol=ipv6\nAddress=\nPort=\n");
    ConnectionSettings s = read(0);
    EXPECT_EQ(SIM_PROTOCOL_IPV6, s.protocol);
    EXPECT_STREQ("personal-host", s.address);
    EXPECT_STREQ("2000", s.port);
}

TEST(SettingsTest, ProtocolValues) {
    TestEnvironment env;
    env.write_config(kShared, "[SimConnect]\nProtocol=IPv4\n");
    env.write_config(kCurrent, "[SimConnect]\nProtocol=Carrier pigeon\n");
    EXPECT_EQ(SIM_PROTOCOL_IPV4, read(0).protocol);  // unknown value leaves it
    env.write_config(kCurrent, "[SimConnect]\nProtocol=AUTO\n");
    EXPECT_EQ(SIM_PROTOCOL_PIPE, read(0).protocol);
    env.write_config(kCurrent, "[SimConnect]\nProtocol=pipe\n");
    EXPECT_EQ(SIM_PROTOCOL_PIPE, read(0).protocol);
}

TEST(SettingsTest, TcpProtocolTakesTheRegistryPortOnlyWhileThePortIsEmpty) {
    TestEnvironment env;
    env.set_registry_port("SimConnect_Port_IPv4", "500");
    env.set_registry_port("SimConnect_Port_IPv6", "600");
    env.write_config(kCurrent, "[SimConnect]\nProtocol=IPv4\n");
    EXPECT_STREQ("500", read(0).port);
    env.write_config(kCurrent, "[SimConnect]\nProtocol=IPv6\n");
    EXPECT_STREQ("600", read(0).port);
    env.write_config(kPersonal, "[SimConnect]\nPort=700\n");
    EXPECT_STREQ("700", read(0).port);  // set earlier: the registry is not read
    env.write_config(kPersonal, "");
    env.write_config(kCurrent, "[SimConnect]\nProtocol=IPv6\nPort=800\n");
    EXPECT_STREQ("800", read(0).port);
}

TEST(SettingsTest, TcpProtocolWithoutPortOrRegistryValueLeavesThePortEmpty) {
    TestEnvironment env;
    env.write_config(kCurrent, "[SimConnect]\nProtocol=IPv4\n");
    ConnectionSettings s = read(0);
    EXPECT_EQ(SIM_PROTOCOL_IPV4, s.protocol);
    EXPECT_STREQ("", s.port);
}

TEST(SettingsTest, MaxReceiveSizeOnlyGrows) {
    TestEnvironment env;
    env.write_config(kCurrent, "[SimConnect]\nMaxReceiveSize=1000\n");
    EXPECT_EQ(41088u, read(0).max_receive_size);
    env.write_config(kCurrent, "[SimConnect]\nMaxReceiveSize=100000\n");
    EXPECT_EQ(100000u, read(0).max_receive_size);
    env.write_config(kShared, "[SimConnect]\nMaxReceiveSize=200000\n");
    EXPECT_EQ(200000u, read(0).max_receive_size);  // the later, smaller value does not lower it
    env.write_config(kShared, "");
    env.write_config(kCurrent, "[SimConnect]\nMaxReceiveSize=99999999999999\n");
    EXPECT_EQ(0xFFFFFFFFu, read(0).max_receive_size);
}

TEST(SettingsTest, DisableNagle) {
    TestEnvironment env;
    env.write_config(kShared, "[SimConnect]\nDisableNagle=1\n");
    EXPECT_TRUE(read(0).disable_nagle);
    env.write_config(kCurrent, "[SimConnect]\nDisableNagle=0\n");
    EXPECT_FALSE(read(0).disable_nagle);
}

TEST(SettingsTest, EachIndexReadsItsOwnSection) {
    TestEnvironment env;
    env.write_config(kCurrent, "[SimConnect]\nAddress=zero\n[SimConnect.3]\nAddress=three\n");
    EXPECT_STREQ("zero", read(0).address);
    EXPECT_STREQ("three", read(3).address);
    EXPECT_STREQ("", read(4).address);
    EXPECT_STREQ("", read(0xFFFFFFFFu).address);  // the local index reads no file
    char name[32];
    settings_section_name(12, name, sizeof(name));
    EXPECT_STREQ("SimConnect.12", name);
}

TEST(SettingsTest, IndexNeedsANonEmptySectionInSomeFolder) {
    TestEnvironment env;
    EXPECT_FALSE(settings_index_has_section(3));
    env.write_config(kShared, "[SimConnect.3]\n[SimConnect.4]\nProtocol=IPv4\n");
    EXPECT_FALSE(settings_index_has_section(3));
    EXPECT_TRUE(settings_index_has_section(4));
    env.write_config(kPersonal, "[SimConnect.3]\nAddress=x\n");
    EXPECT_TRUE(settings_index_has_section(3));
}

TEST(SettingsTest, PipeNames) {
    ConnectionSettings s;
    settings_defaults(&s);
    char name[8192];
    settings_pipe_name(&s, name, sizeof(name));
    EXPECT_STREQ("\\\\.\\pipe\\Microsoft Flight Simulator\\SimConnect", name);
    std::strcpy(s.address, "box");
    settings_pipe_name(&s, name, sizeof(name));
    EXPECT_STREQ("\\\\box\\pipe\\Microsoft Flight Simulator\\SimConnect", name);
    std::strcpy(s.port, "Other");
    settings_pipe_name(&s, name, sizeof(name));
    EXPECT_STREQ("\\\\box\\pipe\\Other", name);
    std::string long_port(600, 'p');
    std::strcpy(s.port, long_port.c_str());
    settings_pipe_name(&s, name, sizeof(name));
    EXPECT_EQ(255u, std::strlen(name));
}

}  // namespace
