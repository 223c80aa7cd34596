// Loading the launch values, finding the installation folder and running one launch.
#include "launcher/launch_run.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "launcher/install_dir.h"
#include "launcher/launch_values.h"

using namespace quill::launcher;

namespace {

// The element's parameters of a test page; it records the order in which they are asked for.
class PageParams : public LaunchValueSource {
public:
    std::map<std::string, std::string> texts;
    std::map<std::string, int32_t> numbers;
    std::vector<std::string> asked;

    bool ReadText(const char* name, std::string& out) override {
        asked.push_back(name);
        auto it = texts.find(name);
        if (it == texts.end()) return false;
        out = it->second;
        return true;
    }
    bool ReadNumber(const char* name, int32_t& out) override {
        asked.push_back(std::string("#") + name);
        auto it = numbers.find(name);
        if (it == numbers.end()) return false;
        out = it->second;
        return true;
    }
};

TEST(LaunchValuesTest, ReadsTheElementParametersInTheirOrderWithTheirTypes) {
    PageParams page;
    LoadLaunchValues(page);
    const std::vector<std::string> expected = {
        "SERVER",        "#PORT",           "ECM_HOST",         "#ECM_PORT",
        "ECM_SERVER_ID", "KESTRON",         "FST_REG_USER_ID",  "INCHRG_USER_ID",
        "#SQURVW_MNO",   "#PATCP_SEQ",      "#REPATCP_SEQ",     "#RVW_FILE_SEQ",
        "FILE_ID",       "USER_COLOR",      "PATCP_CLS_CD",     "PROG_CLS_CD",
        "SQUAD_DOC_NO",  "SQUAD_DOC_NM",    "NEXT_PLAN_YMD_CD", "NEXT_REVISN_NO",
        "SITE_USE_NM",   "USER_KNM",        "SITE_CD",          "#SQUAD_SQ_NUM",
        "OWNER_YN",      "#TGT_SQURVW_MNO", "STS_CD",           "APPR_YN"};
    EXPECT_EQ(page.asked, expected);
    EXPECT_EQ(FindLaunchValueField("AQUAD_KIND_CD"), nullptr);  // a script property only
    EXPECT_EQ(FindLaunchValueField("server"), nullptr);
}

TEST(LaunchValuesTest, EachLoadStartsAfreshSoNothingLeaksFromAnEarlierPage) {
    PageParams full;
    full.texts = {{"SERVER", "a.example"}, {"SQUAD_DOC_NM", "first"}, {"USER_COLOR", "RGB(9,9,9)"}};
    full.numbers = {{"PORT", 81}, {"ECM_PORT", 2104}, {"SQUAD_SQ_NUM", 5}};
    const LaunchValues first = LoadLaunchValues(full);
    EXPECT_EQ(first.SERVER, "a.example");
    EXPECT_EQ(first.ECM_PORT, 2104);

    PageParams hostOnly;
    hostOnly.texts = {{"SERVER", "b.example"}};
    const LaunchValues second = LoadLaunchValues(hostOnly);
    EXPECT_EQ(second.SERVER, "b.example");
    EXPECT_EQ(second.PORT, 0);
    EXPECT_EQ(second.ECM_PORT, 0);  // no default of the client's here: missing is 0
    EXPECT_EQ(second.SQUAD_DOC_NM, "");
    EXPECT_EQ(second.USER_COLOR, "");
    EXPECT_EQ(second.SQUAD_SQ_NUM, 0);
    // The first set is the first control's own, untouched by the second load.
    EXPECT_EQ(first.SQUAD_DOC_NM, "first");
}

std::string Sz(const std::string& text) { return text + '\0'; }

TEST(InstallDirTest, ReadsOnlyABoundedTerminatedStringNamedExactly) {
    EXPECT_EQ(PickInstallDir({}), "");
    EXPECT_EQ(PickInstallDir({{"OTHER", 1, Sz("C:\\x")}, {"INSTALL_DIR", 1, Sz("C:\\Q")}}),
              "C:\\Q");
    EXPECT_EQ(PickInstallDir({{"install_dir", 1, Sz("C:\\Q")}}), "");
    // Exactly the buffer, terminator included, is fine; one byte more is missing, not cut.
    const std::string fits(259, 'a');
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, Sz(fits)}}), fits);
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, Sz(fits + "b")}}), "");
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, Sz(std::string(299, 'a'))}}), "");
    // No terminator, a NUL inside, another type, or an empty string: missing.
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, "C:\\Q"}}), "");
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, std::string("C:\\Q\0D:\\evil\0", 13)}}), "");
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 2, Sz("C:\\Q")}}), "");
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, Sz("")}}), "");
    // Padding NULs after the terminator are fine.
    EXPECT_EQ(PickInstallDir({{"INSTALL_DIR", 1, std::string("C:\\Q\0\0", 6)}}), "C:\\Q");
}

struct Recorded {
    std::vector<LaunchRequest> starts;
    int closes = 0;
    LaunchHooks Hooks() {
        LaunchHooks hooks;
        hooks.start = [this](const LaunchRequest& r) { starts.push_back(r); };
        hooks.close = [this] { ++closes; };
        return hooks;
    }
};

TEST(LaunchRunTest, WithoutAnInstallationFolderNothingStartsAndCloseFiresOnce) {
    Recorded rec;
    EXPECT_FALSE(RunLaunch("", "Quillmark.exe", '\\', LaunchValues{}, rec.Hooks()));
    EXPECT_TRUE(rec.starts.empty());
    EXPECT_EQ(rec.closes, 1);
    EXPECT_EQ(ClientFile("", "Quillmark.exe", '\\'), "");
}

TEST(LaunchRunTest, StartsTheClientInTheFolderAndClosesOnceEvenWhenTheStartThrows) {
    Recorded rec;
    LaunchValues v;
    v.SERVER = "h";
    EXPECT_TRUE(RunLaunch("C:\\Q", "Quillmark.exe", '\\', v, rec.Hooks()));
    ASSERT_EQ(rec.starts.size(), 1u);
    EXPECT_EQ(rec.starts[0].file, "C:\\Q\\Quillmark.exe");
    EXPECT_EQ(rec.starts[0].parameters.rfind("HOST=h&PORT=0&", 0), 0u);
    EXPECT_EQ(rec.closes, 1);
    EXPECT_EQ(ClientFile("/opt/q/", "Quillmark", '/'), "/opt/q/Quillmark");

    LaunchHooks throwing = rec.Hooks();
    throwing.start = [](const LaunchRequest&) { throw std::runtime_error("no start"); };
    EXPECT_THROW(RunLaunch("C:\\Q", "Quillmark.exe", '\\', v, throwing), std::runtime_error);
    EXPECT_EQ(rec.closes, 2);
}

TEST(LaunchRunTest, TwoControlsLaunchWithTheirOwnValues) {
    PageParams full;
    for (const LaunchValueField* f = LaunchValueFields();
         f != LaunchValueFields() + kLaunchValueCount; ++f) {
        if (f->text)
            full.texts[f->name] = std::string("v-") + f->name;
        else
            full.numbers[f->name] = 11;
    }
    PageParams hostOnly;
    hostOnly.texts = {{"SERVER", "only.host"}};
    const LaunchValues a = LoadLaunchValues(full);
    const LaunchValues b = LoadLaunchValues(hostOnly);
    Recorded rec;
    RunLaunch("D", "Quillmark.exe", '\\', a, rec.Hooks());
    RunLaunch("D", "Quillmark.exe", '\\', b, rec.Hooks());
    ASSERT_EQ(rec.starts.size(), 2u);
    EXPECT_EQ(rec.starts[0].parameters.rfind("HOST=v-SERVER&PORT=11&USERID=v-FST_REG_USER_ID&", 0),
              0u);
    EXPECT_EQ(rec.starts[1].parameters, FormatLaunchString(b));
    EXPECT_EQ(rec.starts[1].parameters.rfind("HOST=only.host&PORT=0&USERID=&", 0), 0u);
    EXPECT_EQ(rec.closes, 2);
}

}  // namespace
