#include "forms/lyric_search_window.h"

#include "lyric_sources/chosen_lyrics.h"
#include "lyric_sources/lyric_search.h"
#include "lyric_sources/opened_track.h"
#include "player/dialogs.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* field(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(name);
    return edit;
}

QPushButton* button(QWidget* parent, const char16_t* text) {
    auto* push = new QPushButton(QString::fromUtf16(text), parent);
    push->setAccessibleName(QString::fromUtf16(text));
    push->setAutoDefault(false);
    return push;
}

} // namespace

LyricSearchWindow::LyricSearchWindow(OpenedTrack& track, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), track_(track), dialogs_(dialogs), search_(track.newSearch()) {
    setObjectName(QStringLiteral("LyricSearchWindow"));
    setWindowTitle(QString::fromUtf16(Title));
    build();
    connect(search_.get(), &LyricSearch::found, this, &LyricSearchWindow::listResults);
    connect(search_.get(), &LyricSearch::failed, this, [this](const QString& message) {
        setBusy(false);
        say(message);
    });
}

LyricSearchWindow::~LyricSearchWindow() = default;

void LyricSearchWindow::build() {
    title_ = field(this, QStringLiteral("标题"));
    artist_ = field(this, QStringLiteral("艺术家"));
    album_ = field(this, QStringLiteral("专辑"));
    length_ = new QLabel(this);
    length_->setAccessibleName(QStringLiteral("时长"));
    searchButton_ = button(this, SearchText);
    cancelButton_ = button(this, CancelText);
    cancelButton_->hide();

    auto* words = new QGridLayout;
    const std::pair<const char16_t*, QLineEdit*> rows[] = {
        {u"标题", title_}, {u"艺术家", artist_}, {u"专辑", album_}};
    int row = 0;
    for (const auto& [label, edit] : rows) {
        auto* caption = new QLabel(QString::fromUtf16(label), this);
        caption->setBuddy(edit);
        words->addWidget(caption, row, 0);
        words->addWidget(edit, row++, 1);
        connect(edit, &QLineEdit::textEdited, this, [this] { edited_ = true; });
        connect(edit, &QLineEdit::returnPressed, this, &LyricSearchWindow::search);
    }
    words->addWidget(new QLabel(QStringLiteral("时长"), this), 0, 2);
    words->addWidget(length_, 0, 3);
    words->addWidget(searchButton_, 1, 2, 1, 2);
    words->addWidget(cancelButton_, 2, 2, 1, 2);

    list_ = new QTreeWidget(this);
    list_->setAccessibleName(QStringLiteral("搜索结果"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("标题"), QStringLiteral("艺术家"),
                            QStringLiteral("专辑"), QStringLiteral("时长"),
                            QStringLiteral("类型")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    preview_ = new QPlainTextEdit(this);
    preview_->setReadOnly(true);
    preview_->setAccessibleName(QStringLiteral("歌词预览"));
    inUse_ = new QLabel(this);
    inUse_->setAccessibleName(QStringLiteral("正在使用的歌词"));
    message_ = new QLabel(this);
    message_->setAccessibleName(QStringLiteral("消息"));
    message_->setTextFormat(Qt::PlainText);
    inUse_->setTextFormat(Qt::PlainText);
    useButton_ = button(this, UseText);
    loadButton_ = button(this, LoadText);
    removeButton_ = button(this, RemoveText);
    auto* close = button(this, u"关闭");

    auto* results = new QHBoxLayout;
    results->addWidget(list_, 3);
    results->addWidget(preview_, 2);
    auto* actions = new QHBoxLayout;
    actions->addWidget(useButton_);
    actions->addWidget(loadButton_);
    actions->addWidget(removeButton_);
    actions->addStretch();
    actions->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(words);
    layout->addLayout(results, 1);
    layout->addWidget(inUse_);
    layout->addWidget(message_);
    layout->addLayout(actions);
    // Top to bottom, left to right.
    QWidget* const order[] = {title_,        artist_,       album_,   searchButton_,
                              cancelButton_, list_,         preview_, useButton_,
                              loadButton_,   removeButton_, close};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(760, 460);

    connect(searchButton_, &QPushButton::clicked, this, &LyricSearchWindow::search);
    connect(cancelButton_, &QPushButton::clicked, this, &LyricSearchWindow::cancelSearch);
    connect(list_, &QTreeWidget::currentItemChanged, this, &LyricSearchWindow::showPreview);
    // Enter (or a double click) on a result uses it.
    connect(list_, &QTreeWidget::itemActivated, this, &LyricSearchWindow::use);
    connect(useButton_, &QPushButton::clicked, this, &LyricSearchWindow::use);
    connect(loadButton_, &QPushButton::clicked, this, &LyricSearchWindow::load);
    connect(removeButton_, &QPushButton::clicked, this, &LyricSearchWindow::remove);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void LyricSearchWindow::openFor(const QString& mediaPath) {
    cancelSearch();
    mediaPath_ = mediaPath;
    edited_ = false;
    results_.clear();
    list_->clear();
    preview_->clear();
    say({});
    setWindowTitle(QString::fromUtf16(Title) + QStringLiteral(" - ") +
                   QFileInfo(mediaPath).fileName());
    const bool open = mediaPath == track_.mediaPath() && track_.hasTags();
    tagLyrics_ = open && !track_.tags().lyricLines.isEmpty();
    fill(LyricChoice::fieldsFor(open ? &track_.tags() : nullptr, mediaPath),
         open ? track_.tags().durationMs : std::nullopt);
    if (!open)
        track_.readTagsOf(mediaPath, this, [this](const MediaTags& tags) {
            tagLyrics_ = !tags.lyricLines.isEmpty();
            // Words the user already typed are theirs.
            if (!edited_)
                fill(LyricChoice::fieldsFor(&tags, mediaPath_), tags.durationMs);
            showInUse();
        });
    showInUse();
    show();
    raise();
    activateWindow();
    title_->setFocus();
}

void LyricSearchWindow::fill(const LyricChoice::Fields& fields, std::optional<qint64> durationMs) {
    title_->setText(fields.title);
    artist_->setText(fields.artist);
    album_->setText(fields.album);
    durationMs_ = durationMs;
    const QString length = LyricChoice::lengthText(durationMs);
    length_->setText(length.isEmpty() ? QStringLiteral("—") : length);
}

void LyricSearchWindow::search() {
    const Lrclib::Track query =
        LyricChoice::queryFrom({title_->text(), artist_->text(), album_->text()});
    if (query.title.isEmpty()) {
        say(QStringLiteral("请输入标题"));
        return;
    }
    setBusy(true);
    say(QStringLiteral("正在搜索歌词…"));
    search_->search(query);
}

void LyricSearchWindow::cancelSearch() {
    if (!search_->busy())
        return;
    search_->cancel();
    setBusy(false);
    say(QStringLiteral("已取消搜索"));
}

void LyricSearchWindow::setBusy(bool busy) {
    searchButton_->setVisible(!busy);
    cancelButton_->setVisible(busy);
}

void LyricSearchWindow::listResults(const std::vector<Lrclib::Record>& records) {
    setBusy(false);
    results_ = LyricChoice::ordered(records, durationMs_);
    list_->clear();
    preview_->clear();
    if (results_.empty()) {
        say(QStringLiteral("未找到歌词"));
        return;
    }
    for (const LyricChoice::Result& result : results_) {
        const std::optional<qint64> length =
            result.record.durationSeconds
                ? std::optional<qint64>(qRound64(*result.record.durationSeconds * 1000))
                : std::nullopt;
        list_->addTopLevelItem(new QTreeWidgetItem(
            {result.record.trackName, result.record.artistName, result.record.albumName,
             LyricChoice::lengthText(length), LyricChoice::kindText(result.kind)}));
    }
    say(QStringLiteral("找到 %1 个结果").arg(results_.size()));
    // The closest timed one is first, when there is one.
    list_->setCurrentItem(list_->topLevelItem(0));
    list_->setFocus();
}

void LyricSearchWindow::showPreview() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= int(results_.size())) {
        preview_->clear();
        return;
    }
    const LyricChoice::Result& result = results_[size_t(row)];
    const QStringList lines = LyricChoice::preview(result);
    preview_->setPlainText(lines.isEmpty() ? LyricChoice::kindText(result.kind)
                                           : lines.join(u'\n'));
}

void LyricSearchWindow::use() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= int(results_.size())) {
        say(QStringLiteral("请先选择一个搜索结果"));
        return;
    }
    const LyricChoice::Result& result = results_[size_t(row)];
    if (result.kind != LyricChoice::Kind::Timed) {
        say(QStringLiteral("只能使用带时间轴的（同步）歌词"));
        return;
    }
    kept(ChosenLyrics::keep(track_.placesFor(mediaPath_), result.lines));
}

void LyricSearchWindow::load() {
    const QString file = dialogs_.openLyricFile(this);
    if (file.isEmpty())
        return;
    kept(ChosenLyrics::keepFile(track_.placesFor(mediaPath_), file));
}

void LyricSearchWindow::kept(const ChosenLyrics::Outcome& outcome) {
    say(outcome.message);
    if (outcome.done)
        track_.chosen(mediaPath_, outcome.lines);
    showInUse();
}

void LyricSearchWindow::remove() {
    say(ChosenLyrics::removeSaved(track_.placesFor(mediaPath_)).message);
    showInUse();
}

void LyricSearchWindow::showInUse() {
    const LyricFile::Places places = track_.placesFor(mediaPath_);
    const LyricChoice::InUse inUse = LyricChoice::inUse(
        SavedLyrics::kindAt(places.beside), SavedLyrics::kindAt(places.inUserFolder), tagLyrics_);
    inUse_->setText(LyricChoice::inUseText(inUse));
    const bool own = inUse == LyricChoice::InUse::Found || inUse == LyricChoice::InUse::Chosen;
    removeButton_->setEnabled(own);
}

void LyricSearchWindow::say(const QString& message) {
    message_->setText(message);
}
