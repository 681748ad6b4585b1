#include "desktop_integration/command_line.h"

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
    };
    for (const Row& row : rows) {
        const CommandLine line = CommandLine::parse(row.arguments, "/w/x");
        EXPECT_EQ(line.action, row.action) << row.arguments.join(' ').toStdString();
        EXPECT_EQ(line.paths, row.paths) << row.arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(CommandLine::parse({"--bogus"}, "/").problem.contains("--bogus"));
}

TEST(CommandLine, HelpSaysWhereTheFilesAreKept) {
    EXPECT_TRUE(helpText("/home/u/.local/share/vellora").contains("/home/u/.local/share/vellora"));
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"--version"}, "/"), "/"), 0);
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"-q"}, "/"), "/"), 2);
    EXPECT_EQ(answerWithoutStarting(CommandLine::parse({"a"}, "/"), "/"), std::nullopt);
}

} // namespace
