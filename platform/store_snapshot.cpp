// Snapshot rows: a statement stepped as the set is walked, fields decoded when read.
#include "platform/store_detail.h"

namespace tillora::detail {

SnapshotRows::SnapshotRows(std::shared_ptr<Connection> conn, std::string_view sql)
    : conn_(std::move(conn)), key_(parametrise(sql)) {
    start();
    try {
        columns_ = cursor_->columns();
        has_row(0, 0);  // a query that fails while running fails at open
    } catch (...) {
        stop();  // no destructor runs: the connection must not keep this half-made set pending
        throw;
    }
}

SnapshotRows::~SnapshotRows() {
    stop();
}

void SnapshotRows::start() {
    stop();
    cursor_ = std::make_unique<Statement>(*conn_, key_);
    conn_->begin_query(key_, cursor_->handle());
    conn_->add_pending(this);
    pending_ = true;
    live_ = false;
    at_end_ = false;
    next_ = 0;
    held_pos_ = -1;
    settled_.clear();
    settled_start_ = -1;
}

void SnapshotRows::stop() {
    if (pending_ && conn_->is_open()) conn_->remove_pending(this);
    pending_ = false;
    cursor_.reset();
}

SnapshotRows::Row SnapshotRows::whole_row() {
    Row row;
    row.reserve(columns_->names.size());
    for (std::size_t i = 0; i < columns_->names.size(); ++i) row.push_back(field(stepped_, i));
    return row;
}

bool SnapshotRows::has_row(long p, long current) {
    if (p < 0) return false;
    if (p == held_pos_ || (live_ && p == stepped_)) return true;
    if (settled_start_ >= 0 && p >= settled_start_) {
        return p < settled_start_ + static_cast<long>(settled_.size());
    }
    if (p < next_) start();  // behind the statement: read again from the first row
    while (next_ <= p) {
        if (at_end_) return false;
        if (live_ && stepped_ == current) {
            held_ = whole_row();
            held_pos_ = current;
        }
        if (!cursor_->step()) {
            at_end_ = true;
            live_ = false;
            stop();
            return false;
        }
        live_ = true;
        stepped_ = next_++;
        seen_ = std::max(seen_, next_);
        values_.assign(columns_->names.size(), Value());
        decoded_.assign(columns_->names.size(), 0);
    }
    return true;
}

const Value& SnapshotRows::field(long p, std::size_t i) {
    if (live_ && p == stepped_) {
        if (!decoded_[i]) {
            values_[i] =
                column_value(cursor_->handle(), static_cast<int>(i), columns_->currency[i]);
            decoded_[i] = 1;
        }
        return values_[i];
    }
    if (p == held_pos_) return held_[i];
    return settled_[static_cast<std::size_t>(p - settled_start_)][i];
}

void SnapshotRows::settle() {
    pending_ = false;  // the connection forgets this read itself
    settled_.clear();
    settled_start_ = live_ ? stepped_ : next_;
    if (live_) settled_.push_back(whole_row());
    while (!at_end_ && cursor_->step()) {
        live_ = true;
        stepped_ = next_++;
        decoded_.assign(columns_->names.size(), 0);
        values_.assign(columns_->names.size(), Value());
        settled_.push_back(whole_row());
    }
    seen_ = std::max(seen_, settled_start_ + static_cast<long>(settled_.size()));
    live_ = false;
    at_end_ = true;
    cursor_.reset();
}

}  // namespace tillora::detail
