#include "desktop_integration/command_line.h"
#include "player/outside_paths.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    QStringList arguments;
    CommandLine::Action action;
    QStringList paths;
};

TEST(CommandLine, OptionsAndPathsMadeAbsoluteInTheWorkingDirectory) {
    using A = CommandLine::Action;
    const Row rows[] = {
        {{}, A::Run, {}},
        {{"a.mp3", "../b/c.mp3", "/abs/d.mp3", "./音乐/"},
         A::Run,
         {"/w/x/a.mp3", "/w/b/c.mp3", "/abs/d.mp3", "/w/x/音乐"}},
        {{"--", "-x.mp3", "--help"}, A::Run, {"/w/x/-x.mp3", "/w/x/--help"}},
        {{"-"}, A::Run, {"/w/x/-"}},
        {{"a.mp3", "--version"}, A::Version, {"/w/x/a.mp3"}},
        {{"-v", "--bogus", "-h"}, A::Help, {}},
        {{"--bogus", "a.mp3"}, A::Refuse, {"/w/x/a.mp3"}},
        // Kept for the player to refuse in its message, or the running one in its answer.
        {{"", "a.mp3"}, A::Run, {"", "/w/x/a.mp3"}},
        {{"http://example.org/a.mp3", "file://tmp/a.mp3", "file:a.mp3"},
         A::Run,
         {"http://example.org/a.mp3", "file://tmp/a.mp3", "file:a.mp3"}},
        {{"file:///home/u/a%20b.mp3", "FILE://localhost/home/u/../c.mp3", "a:b.mp3"},
         A::Run,
         {"/home/u/a b.mp3", "/home/c.mp3", "/w/x/a:b.mp3"}},
    };
    for (const Row& row : rows) {
        const CommandLine line = CommandLine::parse(row.arguments, "/w/x");
        EXPECT_EQ(line.action, row.action) << row.arguments.join(' ').toStdString();
        EXPECT_EQ(line.paths, row.paths) << row.arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(CommandLine::parse({"--bogus"}, "/").problem.contains("--bogus"));
    EXPECT_EQ(OutsidePaths::refusal("file://tmp/a.mp3"), "不是本地文件");
}

TEST(CommandLine, HelpSaysWhereTheFilesAreKept) {
    EXPECT_TRUE(helpText("/home/u/.local/share/vellora").contains("/home/u/.local/share/vellora"));
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"--version"}, "/"), "/"), 0);
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"-q"}, "/"), "/"), 2);
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"a"}, "/"), "/"), std::nullopt);
}

} // namespace
