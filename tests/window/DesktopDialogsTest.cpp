#include "platform/DesktopDialogs.h"
#include "PlugWithEditor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A PATH holding only the fake desktop programs a test writes; each records its arguments.
class FakeDesktop {
public:
    FakeDesktop() {
        char folder[] = "/tmp/kvx-desktop-XXXXXX";
        folder_ = mkdtemp(folder);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        setenv("PATH", folder_.c_str(), 1);
    }
    ~FakeDesktop() {
        setenv("PATH", savedPath_.c_str(), 1);
        std::system(("rm -rf " + folder_).c_str());
    }
    // A program that records its arguments, prints output and exits with status.
    void Add(const std::string& name, const std::string& output, int status) {
        const std::string file = folder_ + "/" + name;
        std::ofstream script(file);
        script << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " << folder_ << "/" << name
               << ".args\nprintf '%s' '" << output << "'\nexit " << status << "\n";
        script.close();
        chmod(file.c_str(), 0755);
    }
    std::string Args(const std::string& name) const {
        std::ifstream in(folder_ + "/" + name + ".args");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string folder_;
    std::string savedPath_;
};

} // namespace

TEST(DesktopDialogs, WithoutADialogProgramEveryAnswerIsNo) {
    FakeDesktop desktop;
    std::string file = "stale";
    EXPECT_FALSE(AskDesktopForFile(nullptr, false, "/tmp", &file));
    EXPECT_TRUE(file.empty());
    int r = 1, g = 2, b = 3;
    EXPECT_FALSE(AskDesktopForColour(nullptr, "Colour", &r, &g, &b));
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(AskDesktopYesNo(nullptr, "Caption", "Sure?"));
    EXPECT_FALSE(OpenDesktopLink(nullptr, "https://example.com/"));
}

TEST(DesktopDialogs, ZenityAnswersFilesAndColours) {
    FakeDesktop desktop;
    desktop.Add("zenity", "/home/user/tone.fxp\n", 0);
    std::string file;
    ASSERT_TRUE(AskDesktopForFile(nullptr, true, "/home/user", &file));
    EXPECT_EQ(file, "/home/user/tone.fxp");
    EXPECT_EQ(desktop.Args("zenity"),
              "--file-selection\n--filename=/home/user/\n--save\n--confirm-overwrite\n");

    desktop.Add("zenity", "rgb(10,20,30)\n", 0);
    int r = 255, g = 128, b = 0;
    ASSERT_TRUE(AskDesktopForColour(nullptr, "Pick", &r, &g, &b));
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(desktop.Args("zenity"), "--color-selection\n--color=#ff8000\n--title=Pick\n");

    desktop.Add("zenity", "", 1); // cancelled
    EXPECT_FALSE(AskDesktopForFile(nullptr, false, "/", &file));
    EXPECT_TRUE(file.empty());
    EXPECT_FALSE(AskDesktopForColour(nullptr, nullptr, &r, &g, &b));
    EXPECT_FALSE(AskDesktopYesNo(nullptr, "Caption", "Sure?"));
}

TEST(DesktopDialogs, KdialogServesWhenZenityIsMissing) {
    FakeDesktop desktop;
    desktop.Add("kdialog", "#0a141e\n", 0);
    int r = 0, g = 0, b = 0;
    ASSERT_TRUE(AskDesktopForColour(nullptr, "Pick", &r, &g, &b));
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(desktop.Args("kdialog"), "--getcolor\n--default\n#000000\n--title\nPick\n");
    desktop.Add("kdialog", "not a colour", 0);
    EXPECT_FALSE(AskDesktopForColour(nullptr, "Pick", &r, &g, &b));
    EXPECT_EQ(r, 10);
}

using EditorWebLink = PlugWithEditor;

TEST_F(EditorWebLink, OpensAfterAYesAndSaysSoWhenItCannot) {
    FakeDesktop desktop;
    desktop.Add("xdg-open", "", 0);
    desktop.Add("zenity", "", 1); // "no" to every question
    EXPECT_FALSE(editor->OpenWebLink("https://example.com/", "About", "Visit?", "Failed"));
    EXPECT_EQ(desktop.Args("xdg-open"), "");
    EXPECT_TRUE(editor->OpenWebLink("https://example.com/", "About", nullptr, "Failed"));
    EXPECT_EQ(desktop.Args("xdg-open"), "https://example.com/\n");

    desktop.Add("zenity", "", 0); // "yes"
    desktop.Add("xdg-open", "", 4);
    EXPECT_FALSE(editor->OpenWebLink("https://example.com/", "About", "Visit?", "Failed"));
    EXPECT_EQ(desktop.Args("zenity"), "--info\n--no-markup\n--title=About\n--text=Failed\n");
}

TEST_F(EditorWebLink, FileAndColourDialogsNeedAnOpenWindow) {
    FakeDesktop desktop;
    desktop.Add("zenity", "/tmp/x\n", 0);
    std::string out = "stale";
    editor->AskForFile(out, 0, "/tmp");
    EXPECT_TRUE(out.empty());
    IRgba colour(255, 1, 2, 3);
    EXPECT_FALSE(editor->AskForColour(colour, "Pick"));
    EXPECT_EQ(colour, IRgba(255, 1, 2, 3));
    EXPECT_EQ(desktop.Args("zenity"), "");
}
