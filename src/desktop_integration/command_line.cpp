#include "desktop_integration/command_line.h"

#include "player/outside_paths.h"

#include <QDir>
#include <QUrl>
#include <cstdio>

CommandLine CommandLine::parse(const QStringList& arguments, const QString& workingDirectory) {
    CommandLine line;
    const QDir base(workingDirectory);
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && (argument == u"-h" || argument == u"--help")) {
            line.action = Action::Help;
        } else if (options && (argument == u"-v" || argument == u"--version")) {
            if (line.action != Action::Help)
                line.action = Action::Version;
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            if (line.action == Action::Run)
                line.action = Action::Refuse;
            if (line.problem.isEmpty())
                line.problem = QStringLiteral("未知选项 unknown option: %1").arg(argument);
        } else if (argument.isEmpty()) {
            // Kept, so that whoever admits the paths refuses it and says so.
            line.paths.append(QString());
        } else if (OutsidePaths::looksLikeUri(argument)) {
            const QString local = OutsidePaths::localFile(QUrl(argument));
            line.paths.append(local.isEmpty() ? argument : QDir::cleanPath(local));
        } else {
            line.paths.append(QDir::cleanPath(base.absoluteFilePath(argument)));
        }
    }
    return line;
}

QString helpText(const QString& dataFolder) {
    return QStringLiteral(
               "用法 Usage: vellora [文件或文件夹 FILE|FOLDER]...\n"
               "\n"
               "把文件（文件夹则取其中的 "
               "MP3）加入播放列表并播放第一首；已有播放器在运行时交给它。\n"
               "Adds the files (the MP3 files of a folder) to the playlist and plays the first;\n"
               "a player already running takes them instead.\n"
               "\n"
               "  -h, --help     显示本帮助 show this help\n"
               "  -v, --version  显示版本 show the version\n"
               "\n"
               "播放列表 data.dat 和桌面歌词设置 data/system/desktoplrc.pst 保存在\n"
               "The playlist and the desktop lyric settings are kept in:\n"
               "  %1\n"
               "（程序文件夹可写时在程序旁边，否则在 $XDG_DATA_HOME/vellora，默认 "
               "~/.local/share/vellora）\n"
               "(beside the program when its folder is writable, else in $XDG_DATA_HOME/vellora)\n")
        .arg(QDir::toNativeSeparators(dataFolder));
}

QString versionText() {
    return QStringLiteral("Vellora %1\n").arg(QStringLiteral(VELLORA_VERSION));
}

std::optional<int> answerWithoutStarting(const CommandLine& line, const QString& dataFolder) {
    switch (line.action) {
    case CommandLine::Action::Run:
        return std::nullopt;
    case CommandLine::Action::Help:
        std::fputs(helpText(dataFolder).toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionText().toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fputs((QStringLiteral("vellora: ") + line.problem +
                    QStringLiteral("\n（vellora --help 查看用法 see vellora --help）\n"))
                       .toUtf8()
                       .constData(),
                   stderr);
        return 2;
    }
    return 2;
}
