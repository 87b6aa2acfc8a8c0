// The simulator's exe.xml in the profile folders of the Wine prefix the test
// runs in, found the way the program finds them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "launcher/autostart/autostart.h"
#include "launcher/autostart/launch_list.h"
#include "platform/user_folders.h"
#include "platform/xml_document.h"

namespace fs = std::filesystem;

namespace {

// Windows-1252, Windows line ends, two other add-ons and a comment.
const std::string kOthers =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "  <Descr>Launch</Descr>\r\n"
    "  <Filename>exe.xml</Filename>\r\n"
    "  <Disabled>False</Disabled>\r\n"
    "  <Launch.ManualLoad>False</Launch.ManualLoad>\r\n"
    "  <!-- gauges first, then Jos\xE9's headset tool -->\r\n"
    "  <Launch.Addon>\r\n"
    "    <Name>Gauge Bridge</Name>\r\n"
    "    <Disabled>False</Disabled>\r\n"
    "    <Path>C:\\Tools\\Gauge Bridge\\bridge.exe</Path>\r\n"
    "    <CommandLine>-minimized</CommandLine>\r\n"
    "  </Launch.Addon>\r\n"
    "  <Launch.Addon>\r\n"
    "    <Name>Headset Tool</Name>\r\n"
    "    <Disabled>True</Disabled>\r\n"
    "    <Path>C:\\Tools\\headset.exe</Path>\r\n"
    "  </Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

// A path with blanks and a character of Windows-1252 beyond ASCII.
const char kLauncher[] = "C:\\Cockpit Caf\xC3\xA9\\Relay-Launcher.exe";
const std::string kOursInWindows1252 =
    "  <Launch.Addon>\r\n"
    "    <Name>Avionics Panel Relays</Name>\r\n"
    "    <Disabled>False</Disabled>\r\n"
    "    <Path>C:\\Cockpit Caf\xE9\\Relay-Launcher.exe</Path>\r\n"
    "    <CommandLine>--with-simulator</CommandLine>\r\n"
    "  </Launch.Addon>\r\n";

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

fs::path profile(bool (*folder)(char*, size_t)) {
    char path[1024];
    EXPECT_TRUE(folder(path, sizeof path));
    return fs::u8path(path);
}

// Runs one verb; the console output goes to out.
int run(const char* verb, std::string* out, const char* launcher = kLauncher) {
    testing::internal::CaptureStdout();
    int rc = autostart_run_for(verb, launcher);
    *out = testing::internal::GetCapturedStdout();
    return rc;
}

// The entry as the same parser reads it back from the file.
AutostartEntry entry_in(const fs::path& file) {
    platform::XmlLoadResult result;
    platform::XmlDocument* doc = platform::xml_load(file.u8string().c_str(), &result);
    EXPECT_EQ(result.status, platform::XmlLoadStatus::ok) << file;
    char why[256];
    platform::XmlNode* root = doc ? launch_list_root(doc, why, sizeof why) : nullptr;
    AutostartEntry entry{};
    if (root) read_autostart_entry(doc, root, &entry);
    platform::xml_close(doc);
    return entry;
}

class ExeXml : public testing::Test {
protected:
    fs::path packages = profile(platform::local_app_data_folder) / "Packages";
    fs::path roaming = profile(platform::roaming_app_data_folder);
    fs::path store = packages / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache";
    fs::path steam = roaming / "Microsoft Flight Simulator";
    fs::path store_2024 = packages / "Microsoft.Limitless_8wekyb3d8bbwe" / "LocalCache";
    fs::path steam_2024 = roaming / "Microsoft Flight Simulator 2024";
    std::string out;

    void SetUp() override { TearDown(); }
    void TearDown() override {
        for (const fs::path& folder : {store, store_2024}) fs::remove_all(folder.parent_path());
        fs::remove_all(steam);
        fs::remove_all(steam_2024);
    }
    void install_both() {
        fs::create_directories(store);
        fs::create_directories(steam);
    }
};

TEST_F(ExeXml, OnOnAgainStatusOffKeepEverythingElse) {
    install_both();
    write_file(store / "exe.xml", kOthers);

    ASSERT_EQ(run("on", &out), 0) << out;
    std::string registered = kOthers;
    registered.insert(registered.rfind("</SimBase.Document>"), kOursInWindows1252);
    EXPECT_EQ(read_file(store / "exe.xml"), registered);
    EXPECT_EQ(read_file(store / "exe.xml.relay-backup"), kOthers);
    EXPECT_EQ(entry_in(steam / "exe.xml").path, std::string(kLauncher));  // missing file created whole
    EXPECT_FALSE(fs::exists(steam / "exe.xml.relay-backup"));

    ASSERT_EQ(run("on", &out), 0) << out;
    EXPECT_EQ(read_file(store / "exe.xml"), registered);
    EXPECT_NE(out.find("already registered"), std::string::npos) << out;

    ASSERT_EQ(run("status", &out), 0) << out;
    EXPECT_NE(out.find((store / "exe.xml").u8string() + ": the simulator starts " + kLauncher + " --with-simulator"),
              std::string::npos) << out;
    EXPECT_NE(out.find((steam / "exe.xml").u8string() + ": the simulator starts"), std::string::npos) << out;

    ASSERT_EQ(run("off", &out), 0) << out;
    EXPECT_EQ(read_file(store / "exe.xml"), kOthers);
    EXPECT_EQ(read_file(store / "exe.xml.relay-backup"), kOthers);  // not the state after "on"
    EXPECT_EQ(entry_in(steam / "exe.xml").count, 0);
    EXPECT_FALSE(fs::exists(store / "exe.xml.relay-new"));
}

TEST_F(ExeXml, AMovedLauncherIsUpdatedInPlaceAndCopiesGo) {
    install_both();
    const std::string folder = "C:\\Cockpit Caf\xE9";
    std::string old_entry = kOursInWindows1252;
    old_entry.replace(old_entry.find(folder), folder.size(), "D:\\Old");
    std::string before = kOthers;
    before.insert(before.find("  <Launch.Addon>"), old_entry);  // ahead of the others
    before.insert(before.rfind("</SimBase.Document>"), old_entry);
    write_file(store / "exe.xml", before);

    ASSERT_EQ(run("on", &out), 0) << out;
    std::string after = kOthers;
    after.insert(after.find("  <Launch.Addon>"), kOursInWindows1252);
    EXPECT_EQ(read_file(store / "exe.xml"), after);
}

TEST_F(ExeXml, BrokenFilesAreLeftAsTheyAre) {
    install_both();
    std::string unclosed = kOthers.substr(0, kOthers.rfind("</SimBase.Document>"));
    std::string other_root = "<?xml version=\"1.0\"?>\r\n<PackageDefinitions/>\r\n";
    write_file(store / "exe.xml", unclosed);
    write_file(steam / "exe.xml", other_root);

    for (const char* verb : {"on", "off", "status"}) {
        EXPECT_EQ(run(verb, &out), 1) << verb << out;
        EXPECT_NE(out.find((store / "exe.xml").u8string() + " is not valid XML: line "), std::string::npos) << out;
        EXPECT_NE(out.find("<PackageDefinitions>, not <SimBase.Document>"), std::string::npos) << out;
    }
    EXPECT_EQ(read_file(store / "exe.xml"), unclosed);
    EXPECT_EQ(read_file(steam / "exe.xml"), other_root);
    EXPECT_FALSE(fs::exists(store / "exe.xml.relay-backup"));
}

TEST_F(ExeXml, NoSimulatorInstalled) {
    EXPECT_EQ(run("on", &out), 1);
    EXPECT_NE(out.find("No installation of Microsoft Flight Simulator found"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(steam));
}

TEST_F(ExeXml, PathOutsideTheFileEncodingIsRefused) {
    install_both();
    write_file(store / "exe.xml", kOthers);
    const char* cyrillic = "C:\\\xD0\x9F\xD0\xB0\xD0\xBD\xD0\xB5\xD0\xBB\xD1\x8C\\Relay-Launcher.exe";

    EXPECT_EQ(run("on", &out, cyrillic), 1);
    EXPECT_NE(out.find("cannot hold in its encoding (Windows-1252)"), std::string::npos) << out;
    EXPECT_EQ(read_file(store / "exe.xml"), kOthers);
    // A file made new is declared in an encoding that holds the path.
    EXPECT_EQ(entry_in(steam / "exe.xml").path, std::string(cyrillic));
    EXPECT_EQ(read_file(steam / "exe.xml").rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u);
}

TEST_F(ExeXml, OnlyThe2024StoreEditionGetsItsFileMadeAndNamed) {
    fs::create_directories(store_2024);

    ASSERT_EQ(run("on", &out), 0) << out;
    EXPECT_EQ(entry_in(store_2024 / "exe.xml").path, std::string(kLauncher));
    EXPECT_NE(out.find("Flight Simulator 2024 (Microsoft Store): registered in " + (store_2024 / "exe.xml").u8string() +
                       " (new file)"),
              std::string::npos) << out;
    EXPECT_NE(out.find("Flight Simulator 2020 (Steam): not installed"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(steam_2024));

    ASSERT_EQ(run("status", &out), 0) << out;
    EXPECT_NE(out.find("Flight Simulator 2024 (Microsoft Store): registered in " + (store_2024 / "exe.xml").u8string() +
                       ": the simulator starts " + kLauncher + " --with-simulator"),
              std::string::npos) << out;
    EXPECT_NE(out.find("Flight Simulator 2024 (Steam): not installed"), std::string::npos) << out;
}

// Other add-ons written in ways the parser's own writer would change: quote
// style, empty elements, character references (one outside Windows-1252),
// CDATA, a line break in an attribute, mixed line ends, blank lines, a
// comment and trailing blanks outside the root.
const std::string kWrittenByHand =
    "<?xml version='1.0' encoding='Windows-1252'?>\n"
    "\r\n"
    "<!-- other tools -->\r\n"
    "<SimBase.Document Type='Launch' version = '1,0'>\r\n"
    "  <Descr>Launch</Descr>\r\n"
    "  <Launch.Addon>\r\n"
    "    <Name>&#1044;&#1077;&#1084;&#1086; Caf&#233; &amp; Bar &quot;x&quot; &apos;y&apos;</Name>\r\n"
    "    <Disabled></Disabled>\r\n"
    "    <NewConsole />\r\n"
    "    <Path attr='a\"b' other=\"x\r\ny\">C:\\Tools\\&#1044;\\t.exe</Path>\n"
    "    <CommandLine><![CDATA[-a <b>]]></CommandLine>\r\n"
    "  </Launch.Addon>\r\n"
    "</SimBase.Document>\r\n"
    "\r\n"
    "<!-- after -->  ";

TEST_F(ExeXml, BothSteamEditionsAreRegisteredAndGivenBackByteForByte) {
    fs::create_directories(steam);
    fs::create_directories(steam_2024);
    write_file(steam / "exe.xml", kOthers);
    write_file(steam_2024 / "exe.xml", kWrittenByHand);

    ASSERT_EQ(run("on", &out), 0) << out;
    for (const auto& [folder, before] : {std::pair(steam, kOthers), std::pair(steam_2024, kWrittenByHand)}) {
        std::string registered = before;
        registered.insert(registered.rfind("</SimBase.Document>"), kOursInWindows1252);
        EXPECT_EQ(read_file(folder / "exe.xml"), registered) << folder;
        EXPECT_EQ(read_file(folder / "exe.xml.relay-backup"), before) << folder;
    }
    EXPECT_NE(out.find("Flight Simulator 2024 (Steam): registered in"), std::string::npos) << out;

    ASSERT_EQ(run("off", &out), 0) << out;
    EXPECT_EQ(read_file(steam / "exe.xml"), kOthers);
    EXPECT_EQ(read_file(steam_2024 / "exe.xml"), kWrittenByHand);
    EXPECT_NE(out.find("Flight Simulator 2020 (Steam): removed from"), std::string::npos) << out;
}

}  // namespace
