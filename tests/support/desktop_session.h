#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Pieces shared by the tests that run the installed-like program under a desktop's
// compositor, as separate processes the test watches from outside.
namespace testsupport {

// The program's windows as the tests find them: the lyric window's height, the toolbar's size,
// and where the main window's desktop lyric switch and toolbar button are from its corner.
constexpr int LyricHeight = 111;
constexpr int ToolbarWidth = 405;
constexpr int ToolbarHeight = 35;
inline const QPoint SwitchButton(212, 140);
inline const QPoint ToolbarButton(260, 140);

// The environment of the program and of the test's own windows in a compositor's session,
// which offers waylandDisplay and Xwayland's x11Display: a runtime folder and a home of their
// own and no session bus; Qt's Wayland windows without title bars of their own, which would
// move their content under a pointer already aimed until the compositor's decoration is
// agreed; and, in a sanitized build, whole allocating stacks for the leak reports, which must
// tell Qt's Wayland platform (whose objects live until exit) from the program's own.
QProcessEnvironment compositorSession(const QString& waylandDisplay, const QString& x11Display,
                                      const QString& runtime, const QString& home);

// A process the test starts with environment, in folder when one is given.
std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment,
                                 const QString& folder = {});
// Kills the process if it still runs, and waits for its end.
void end(QProcess* process);

// The next line the process says that starts with word, once it says one; empty if none
// comes in time. Lines with other words wait for their own call, in the order said. Each
// look at what the process said is followed by meanwhile.
QByteArray nextLine(QProcess* process, const QByteArray& word,
                    const std::function<void()>& meanwhile = {});

// Pixels of area that differ between two pictures of the same size.
int changedPixels(const QImage& before, const QImage& after, const QRect& area);
// Pixels of area that are not colour.
QList<QPoint> pixelsOtherThan(const QImage& picture, const QRect& area, const QColor& colour);

// The program's own settings file (a program in a build folder keeps its data beside it),
// holding what a test wants the program to remember; the file as it was comes back after.
class RememberedSettings {
public:
    RememberedSettings(const QString& program, const QByteArray& lines);
    ~RememberedSettings();
    RememberedSettings(const RememberedSettings&) = delete;
    RememberedSettings& operator=(const RememberedSettings&) = delete;

private:
    QString file_;
    std::optional<QByteArray> old_;
};

} // namespace testsupport
