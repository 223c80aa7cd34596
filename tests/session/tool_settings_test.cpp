// The tools' remembered styles in the registry store, the stored texts that may restyle a new
// comment, and the subjects that name a tool.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/code_page.h"
#include "platform/registry_store.h"
#include "session/subject_tool_table.h"
#include "session/tool_settings.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::session;

namespace {

const char* const kTools[] = {"CLOUDY", "ARROW",   "LINE",     "RECTANGLE",
                              "CIRCLE", "POLYGON", "POLYLINE", "PENCIL"};

TEST(ToolSettings, FirstStartWritesEveryToolsDefaultsAndALaterStartReadsWhatWasStored) {
    testsupport::TempDir dir;
    const std::string root = (dir / "registry").string();
    platform::RegistryStore store(root);
    ToolSettings first{platform::RegistryStore(root)};
    first.LoadToolSettings();
    for (const char* tool : kTools) {
        SCOPED_TRACE(tool);
        const std::string style = std::string(tool) == "CLOUDY" ? "9" : "1";
        auto key = store.ReadKey(ToolSettings::ToolKeyPath(tool));
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(*key,
                  (std::map<std::string, std::string>{{"BorderStyle", style}, {"Thickness", "1"}}));
        EXPECT_EQ(first.Value(tool, kThicknessValue), "1");
        EXPECT_EQ(first.Value(tool, kBorderStyleValue), style);
    }
    // Only the eight drawing tools' keys: the ellipse's stays unknown.
    EXPECT_FALSE(store.ReadKey(ToolSettings::ToolKeyPath("ELLIPSE")).has_value());
    EXPECT_EQ(first.Value("ELLIPSE", kThicknessValue), "");
    EXPECT_EQ(first.Value("CLOUDY", "Opacity"), "");

    first.SaveToolSetting("RECTANGLE", kThicknessValue, "2");
    first.SaveToolSetting("RECTANGLE", kBorderStyleValue, "3");
    first.SaveToolSetting("ELLIPSE", kThicknessValue, "4");
    // A value longer than the read buffer comes back cut.
    store.WriteValue(ToolSettings::ToolKeyPath("LINE"), "Note", std::string(300, 'x'));

    ToolSettings second{platform::RegistryStore(root)};
    second.LoadToolSettings();
    EXPECT_EQ(second.Value("RECTANGLE", kThicknessValue), "2");
    EXPECT_EQ(second.Value("RECTANGLE", kBorderStyleValue), "3");
    EXPECT_EQ(second.Value("CLOUDY", kBorderStyleValue), "9");
    EXPECT_EQ(second.Value("LINE", "Note"), std::string(260, 'x'));
    // Stored, but the start-up load does not read the ellipse's key.
    EXPECT_EQ(second.Value("ELLIPSE", kThicknessValue), "");
}

TEST(ToolSettings, ARegistryThatCannotBeWrittenIsSilentAndTheStyleHoldsForThisRun) {
    testsupport::TempDir dir;
    const std::string file = (dir / "plain-file").string();
    std::ofstream(file) << "not a folder";
    ToolSettings tools{platform::RegistryStore(file + "/registry")};
    tools.LoadToolSettings();
    EXPECT_EQ(tools.Value("CLOUDY", kBorderStyleValue), "9");
    tools.SaveToolSetting("ARROW", kThicknessValue, "5");
    EXPECT_EQ(tools.Value("ARROW", kThicknessValue), "5");
}

TEST(StoredToolStyle, OnlyAVisibleWidthAndAKnownStyleCodeAreTaken) {
    EXPECT_EQ(StoredThickness("1"), 1);
    EXPECT_EQ(StoredThickness("12"), 12);
    EXPECT_EQ(StoredBorderStyle("1"), 1);
    EXPECT_EQ(StoredBorderStyle("9"), 9);
    for (const char* bad :
         {"", "abc", "0", "-1", "99999", "13", "2.5", " 2", "2 ", "3x", "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(StoredThickness(bad).has_value());
    }
    for (const char* bad : {"", "abc", "0", "-1", "10", "99999", "1.0", "+3"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(StoredBorderStyle(bad).has_value());
    }
}

TEST(SubjectToolTable, SubjectsInEitherLanguageAndAnyCaseNameTheirTool) {
    platform::SetSystemCodePageForTesting("CP949");
    const SubjectToolTable table = BuildSubjectToolTable();
    EXPECT_EQ(ToolKeyOfSubject(table, "cloudy"), "CLOUDY");
    EXPECT_EQ(ToolKeyOfSubject(table, "Cloudy"), "CLOUDY");
    EXPECT_EQ(ToolKeyOfSubject(table, "POLYGON LINE"), "POLYLINE");
    EXPECT_EQ(ToolKeyOfSubject(table, "Ellipse"), "ELLIPSE");
    // Korean subjects arrive as the control keeps text: in the system code page.
    const std::string pencil = platform::Utf8ToAnsi("연필");
    ASSERT_EQ(pencil, "\xBF\xAC\xC7\xCA");
    EXPECT_EQ(ToolKeyOfSubject(table, pencil), "PENCIL");
    EXPECT_EQ(ToolKeyOfSubject(table, platform::Utf8ToAnsi("구름")), "CLOUDY");
    EXPECT_EQ(ToolKeyOfSubject(table, "연필"), "") << "UTF-8 bytes are not the code page's";
    for (const char* other : {"distance measurement", "callout", "note", "highlight", ""})
        EXPECT_EQ(ToolKeyOfSubject(table, other), "") << other;
    platform::SetSystemCodePageForTesting("");
}

}  // namespace
