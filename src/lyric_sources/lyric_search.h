#pragma once

#include "lyric_sources/lrclib_lookup.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

// A search of LRCLIB that the user asks for in the lyrics search window, with words of their
// own: it runs whether or not the program searches by itself, one at a time, and ends in
// either the records found or one calm line that says why there are none. The lookup's
// bounds on answers, redirects, sizes and time apply.
class LyricSearch : public QObject {
    Q_OBJECT
public:
    LyricSearch(LrclibLookup::Options options, LrclibLookupFactory lookups,
                QObject* parent = nullptr);
    ~LyricSearch() override;

    // Replaces a search under way.
    void search(const Lrclib::Track& query);
    // Drops the search under way: neither signal follows for it.
    void cancel();
    bool busy() const { return busy_; }

Q_SIGNALS:
    void found(const std::vector<Lrclib::Record>& records);
    void failed(const QString& message);

private:
    void answered(const LrclibLookup::Answer& answer);

    LrclibLookup::Options options_;
    LrclibLookupFactory lookups_;
    std::unique_ptr<LrclibLookup> lookup_; // made on the first search
    bool busy_ = false;
};
