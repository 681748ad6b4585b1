#pragma once

#include "lyric_sources/chosen_lyrics.h"
#include "lyric_sources/lyric_choice.h"

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class Dialogs;
class LyricSearch;
class OpenedTrack;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// "搜索歌词": the user's own search for one track's lyrics, open or not. The words come from
// its tags or its file name and may be changed; the results list the candidates with a
// preview of the selected one; "使用" keeps the selected timed lyrics as the user's choice,
// "从文件载入…" a copy of a lyric file of theirs, and "删除已存歌词" removes what the
// program saved. It says which lyrics the track uses. Made the first time it is asked for.
class LyricSearchWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr auto Title = u"搜索歌词";
    static constexpr auto SearchText = u"搜索";
    static constexpr auto CancelText = u"取消搜索";
    static constexpr auto UseText = u"使用";
    static constexpr auto LoadText = u"从文件载入…";
    static constexpr auto RemoveText = u"删除已存歌词";

    LyricSearchWindow(OpenedTrack& track, Dialogs& dialogs, QWidget* parent = nullptr);
    ~LyricSearchWindow() override;

    // Shows the window for the track, with words from what is known of it.
    void openFor(const QString& mediaPath);

    QString mediaPath() const { return mediaPath_; }

private:
    void build();
    void fill(const LyricChoice::Fields& fields, std::optional<qint64> durationMs);
    void search();
    void cancelSearch();
    void listResults(const std::vector<Lrclib::Record>& records);
    void showPreview();
    void use();
    void load();
    void remove();
    void kept(const ChosenLyrics::Outcome& outcome);
    void showInUse();
    void say(const QString& message);
    void setBusy(bool busy);

    OpenedTrack& track_;
    Dialogs& dialogs_;
    std::unique_ptr<LyricSearch> search_;
    QString mediaPath_;
    std::optional<qint64> durationMs_;
    bool tagLyrics_ = false;
    bool edited_ = false; // the user typed in a field since the window opened
    std::vector<LyricChoice::Result> results_;

    QLineEdit* title_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QLineEdit* album_ = nullptr;
    QLabel* length_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLabel* inUse_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* useButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
};
