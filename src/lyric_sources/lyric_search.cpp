#include "lyric_sources/lyric_search.h"

#include "lyric_sources/lyric_finder.h"

LyricSearch::LyricSearch(LrclibLookup::Options options, LrclibLookupFactory lookups,
                         QObject* parent)
    : QObject(parent), options_(std::move(options)), lookups_(std::move(lookups)) {}

LyricSearch::~LyricSearch() = default;

void LyricSearch::search(const Lrclib::Track& query) {
    cancel();
    if (!lookup_ && lookups_)
        lookup_ =
            lookups_(options_, [this](const LrclibLookup::Answer& answer) { answered(answer); });
    if (!lookup_) {
        Q_EMIT failed(LyricFinder::noticeText(LyricFinder::Notice::Offline));
        return;
    }
    busy_ = true;
    lookup_->search(query);
}

void LyricSearch::cancel() {
    busy_ = false;
    if (lookup_)
        lookup_->cancel();
}

void LyricSearch::answered(const LrclibLookup::Answer& answer) {
    busy_ = false;
    if (answer.status == LrclibLookup::Status::Found)
        Q_EMIT found(answer.records);
    else
        Q_EMIT failed(LyricFinder::noticeText(
            LyricFinder::failureOf(answer.status).value_or(LyricFinder::Notice::NotFound)));
}
