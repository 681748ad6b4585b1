#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the player was started with: `vellora [--help | --version] [FILE|FOLDER]...`.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    // For Run: absolute paths; an empty argument and a URI that is no local file as they
    // were given, for the player to refuse with the rest.
    QStringList paths;
    QString problem; // for Refuse

    // The arguments after the program's name; relative paths are taken from the working
    // directory, file:// URIs as their local files. `--` ends the options, so a file may
    // begin with a dash.
    static CommandLine parse(const QStringList& arguments, const QString& workingDirectory);
};

// Prints what a help, version or refused start asks for and gives the exit code; empty for a
// start that runs the player.
std::optional<int> answerWithoutStarting(const CommandLine& line, const QString& dataFolder);

// Usage, and where the player keeps its files in this run.
QString helpText(const QString& dataFolder);
QString versionText();
