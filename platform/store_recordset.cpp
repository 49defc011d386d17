// Result sets: rows read at open, a current position, and for updatable sets the writing back of
// added and edited rows by rowid.
#include <algorithm>
#include <optional>

#include "platform/store.h"
#include "platform/store_detail.h"

namespace tillora {
namespace {

constexpr int kUpdateWithoutEdit = 3020;
constexpr int kReadOnly = 3027;
constexpr int kFieldReadOnly = 3164;
constexpr int kRecordDeleted = 3167;
constexpr int kUnknownField = 3265;
constexpr int kObjectInvalid = 3420;

std::string quote_name(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace

// The rows of a set and the current position. An updatable set reads the rowids of its rows at
// open (so its count is exact) and a row's fields when the row is visited; a snapshot reads its
// rows as it is walked (detail::SnapshotRows). Either way a set over a year of lines needs little
// memory, and a set of which only the first row is read costs one row.
struct Recordset::Impl {
    enum class Mode { None, Adding, Editing };
    using Row = std::vector<Value>;

    std::shared_ptr<detail::Connection> conn;
    std::shared_ptr<const detail::Columns> columns;
    long pos = 0;
    Mode mode = Mode::None;
    Row buffer;
    std::vector<bool> changed;

    // Updatable sets: the rows' rowids and the statement that reads one row by its rowid.
    std::optional<detail::UpdatableSelect> source;
    std::vector<std::int64_t> rowids;
    detail::StatementKey fetch_key;
    long fetched_pos = -1;  // the position whose fields `fetched_row` holds
    Row fetched_row;
    std::uint32_t fetched_version = 0;  // the file's data version `fetched_row` was read at

    std::unique_ptr<detail::SnapshotRows> snapshot;

    detail::StatementKey write_key;  // the last statement that stored a row
    bool write_adding = false;
    std::vector<bool> write_fields;
    detail::StatementKey mark_key;  // the last statement that stored kept changes
    std::vector<bool> mark_fields;
    std::vector<const Value*> mark_params;

    Impl(std::shared_ptr<detail::Connection> c, std::string_view sql, SetKind kind)
        : conn(std::move(c)) {
        if (kind == SetKind::Updatable) source = detail::parse_updatable(sql);
        if (source) {
            try {
                open_keyset(sql);
                return;
            } catch (const StoreError& e) {
                if (e.code() != SQLITE_ERROR) throw;
                source.reset();  // no rowid (a view): the rows are read-only
                rowids.clear();
            }
        }
        snapshot = std::make_unique<detail::SnapshotRows>(conn, sql);
        columns = snapshot->columns();
    }

    // The set's state, checked to be open. Throws StoreError(3420) for a closed set or database.
    static Impl& of(const std::unique_ptr<Impl>& impl) {
        if (!impl) throw StoreError(kObjectInvalid, "Object invalid or no longer set.", "");
        impl->check_open();
        return *impl;
    }

    std::string rowid_expr() const { return source->qualifier + ".rowid"; }

    void open_keyset(std::string_view sql) {
        fetch_key.text = "select " + source->list + " " + source->from_clause + " where " +
                         rowid_expr() + " = ?";
        fetch_key.cacheable = true;
        fetch_key.transactional = true;
        columns = detail::Statement(*conn, fetch_key).columns();
        std::string keys(sql.substr(0, source->list_start));
        keys += rowid_expr() + " ";
        keys += sql.substr(source->list_start + source->list.size());
        const detail::StatementKey key = detail::parametrise(keys);
        detail::Statement statement(*conn, key);
        conn->begin_query(key, statement.handle());
        // A month's row ids take tens of milliseconds to read, sort and gather, and the last step
        // frees the sorted rows: the window repaints meanwhile.
        conn->beside([&] {
            while (statement.step()) rowids.push_back(sqlite3_column_int64(statement.handle(), 0));
        });
    }

    const Row* keyed_row(long p) {
        if (p < 0 || p >= static_cast<long>(rowids.size())) return nullptr;
        if (fetched_pos != p) {
            fetched_pos = -1;
            if (!fetch(rowids[static_cast<std::size_t>(p)]))
                fail(kRecordDeleted, "Record is deleted.");
            fetched_pos = p;
        }
        return &fetched_row;
    }

    // Reads the row `rowid` into fetched_row, whose values are replaced in place. False when
    // there is no such row.
    bool fetch(std::int64_t rowid) {
        const Value key(rowid);
        detail::Statement statement(*conn, fetch_key, std::vector<const Value*>{&key});
        conn->begin_query(fetch_key, statement.handle());
        if (!statement.step()) return false;
        fetched_version = conn->data_version();
        const std::size_t n = columns->names.size();
        const std::size_t read = std::min<std::size_t>(n, sqlite3_column_count(statement.handle()));
        fetched_row.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            fetched_row[i] = i < read
                                 ? detail::column_value(statement.handle(), static_cast<int>(i),
                                                        columns->currency[i])
                                 : Value::null();
        }
        return true;
    }

    // True when position p holds a row (an updatable set's row is not read for this).
    bool has_row(long p) {
        if (source) return p >= 0 && p < static_cast<long>(rowids.size());
        return snapshot->has_row(p, pos);
    }

    long count() {
        if (source) return static_cast<long>(rowids.size());
        if (snapshot->rows_seen() == 0) has_row(0);
        return snapshot->rows_seen();
    }

    // Field i of the current row. Throws StoreError(kNoCurrentRecord) past the end.
    const Value& current_field(std::size_t i) {
        if (!has_row(pos)) fail(kNoCurrentRecord, "No current record.");
        return source ? (*keyed_row(pos))[i] : snapshot->field(pos, i);
    }
    bool empty() { return count() == 0; }

    [[noreturn]] void fail(int code, const std::string& message) const {
        throw StoreError(code, message, conn->name);
    }
    void check_open() const {
        if (!conn->is_open()) fail(kObjectInvalid, "Object invalid or no longer set.");
    }
    void check_updatable() const {
        if (!source) fail(kReadOnly, "Cannot update. Database or object is read-only.");
    }
    std::size_t position_of(std::string_view name) const {
        const auto i = columns->find(name);
        if (i == detail::Columns::npos) {
            fail(kUnknownField, "Item not found in this collection: '" + std::string(name) + "'.");
        }
        return i;
    }

    // The statement that stores a row: built once for each set of changed fields (a report adds
    // every row with the same fields), its values bound as parameters.
    const detail::StatementKey& write_statement(bool adding) {
        if (adding == write_adding && changed == write_fields && !write_key.text.empty()) {
            return write_key;
        }
        const std::string table = quote_name(source->table);
        std::string names;
        std::string marks;
        std::string assignments;
        for (std::size_t i = 0; i < changed.size(); ++i) {
            if (!changed[i]) continue;
            const std::string name = quote_name(columns->origins[i]);
            const char* comma = marks.empty() ? "" : ", ";
            names += comma + name;
            marks += std::string(comma) + "?";
            assignments += comma + name + " = ?";
        }
        if (adding) {
            write_key.text =
                marks.empty() ? "insert into " + table + " default values"
                              : "insert into " + table + " (" + names + ") values (" + marks + ")";
        } else {
            write_key.text = "update " + table + " set " + assignments + " where rowid = ?";
        }
        write_key.cacheable = true;
        write_key.transactional = true;
        write_adding = adding;
        write_fields = changed;
        return write_key;
    }

    std::vector<Value> changed_values() const {
        std::vector<Value> values;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            if (changed[i]) values.push_back(buffer[i]);
        }
        return values;
    }

    void insert_row() {
        conn->run(write_statement(true), changed_values());
        const bool was_at_end = pos >= static_cast<long>(rowids.size());
        rowids.push_back(sqlite3_last_insert_rowid(conn->handle()));
        if (was_at_end) pos = static_cast<long>(rowids.size());  // not the current row
    }

    void update_row() { store(rowids[static_cast<std::size_t>(pos)], changed_values()); }

    // The statement that stores kept changes only while the row holds what it was read with:
    // every column read from the table is compared with its value as read, text byte for byte
    // and money also to within the ten-thousandth it was rounded to when read. Its text depends
    // on the changed fields alone (a money column binds its value twice, the second time null
    // unless it was read as money), so one prepared statement serves every row of a pass.
    const detail::StatementKey& conditional_write_statement() {
        if (changed == mark_fields && !mark_key.text.empty()) return mark_key;
        mark_key = write_statement(false);
        for (std::size_t i = 0; i < columns->origins.size(); ++i) {
            if (columns->origins[i].empty()) continue;
            const std::string name = quote_name(columns->origins[i]);
            if (columns->currency[i]) {
                mark_key.text +=
                    " and (" + name + " is ? collate binary or abs(" + name + " - ?) < 0.0001)";
            } else {
                mark_key.text += " and " + name + " is ? collate binary";
            }
        }
        mark_fields = changed;
        return mark_key;
    }

    // The parameters of a statement that stores kept changes: their values, then `rowid`.
    std::vector<const Value*>& bind_changes(const Recordset::Changes& changes, const Value& rowid) {
        mark_params.clear();
        for (const Value& v : changes.values) mark_params.push_back(&v);
        mark_params.push_back(&rowid);
        return mark_params;
    }

    // Stores kept changes as conditional_write_statement says. False when no row matched.
    bool store_if_unchanged(const Recordset::Changes& changes) {
        changed = changes.fields;
        const detail::StatementKey& key = conditional_write_statement();
        static const Value null = Value::null();
        const Value rowid(changes.rowid);
        std::vector<const Value*>& params = bind_changes(changes, rowid);
        for (std::size_t i = 0; i < changes.read.size(); ++i) {
            if (columns->origins[i].empty()) continue;
            const Value& v = changes.read[i];
            params.push_back(&v);
            if (columns->currency[i]) {
                params.push_back(std::holds_alternative<Currency>(v.data()) ? &v : &null);
            }
        }
        conn->run(key, params);
        fetched_pos = -1;
        return sqlite3_changes(conn->handle()) > 0;
    }

    // Stores kept changes by the row's rowid alone. False when the row is gone.
    bool store_by_rowid(const Recordset::Changes& changes) {
        changed = changes.fields;
        const Value rowid(changes.rowid);
        conn->run(write_statement(false), bind_changes(changes, rowid));
        fetched_pos = -1;
        return sqlite3_changes(conn->handle()) > 0;
    }

    // Stores kept changes in a write transaction (the caller's, or one of its own). When nothing
    // was committed to the file since the row was read, the row is as read and is stored by its
    // rowid; otherwise only while every field still holds its value as read. Comparing the
    // fields costs about a fifth of a mark: an export over a quiet register skips it.
    bool store_kept(const Recordset::Changes& changes) {
        conn->end_read();
        conn->settle_reads();
        const bool opened = conn->begin_write();
        bool stored = false;
        try {
            stored = conn->data_version() == changes.version ? store_by_rowid(changes)
                                                             : store_if_unchanged(changes);
        } catch (...) {
            conn->end_write(opened, false);
            throw;
        }
        conn->end_write(opened, true);
        return stored;
    }

    // Stores `values` of the fields marked in `changed` into the row `rowid`.
    void store(std::int64_t rowid, std::vector<Value> values) {
        if (values.empty()) return;
        values.emplace_back(rowid);
        conn->run(write_statement(false), values);
        if (sqlite3_changes(conn->handle()) == 0) fail(kRecordDeleted, "Record is deleted.");
        fetched_pos = -1;  // read again as stored when next visited
    }
};

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

long Recordset::record_count() const {
    return Impl::of(impl_).count();
}

bool Recordset::eof() const {
    auto& m = Impl::of(impl_);
    return !m.has_row(m.pos);
}

bool Recordset::bof() const {
    return Impl::of(impl_).empty();
}

void Recordset::move_next() {
    auto& m = Impl::of(impl_);
    if (!m.has_row(m.pos)) m.fail(kNoCurrentRecord, "No current record.");
    m.mode = Impl::Mode::None;
    ++m.pos;
}

void Recordset::move_first() {
    move_to(0);
    if (eof()) Impl::of(impl_).fail(kNoCurrentRecord, "No current record.");
}

void Recordset::move_last() {
    auto& m = Impl::of(impl_);
    if (m.empty()) m.fail(kNoCurrentRecord, "No current record.");
    m.mode = Impl::Mode::None;
    if (m.source) {
        m.pos = static_cast<long>(m.rowids.size()) - 1;
        return;
    }
    while (m.has_row(m.pos + 1)) ++m.pos;
}

long Recordset::absolute_position() const {
    return Impl::of(impl_).pos;
}

void Recordset::move_to(long position) {
    auto& m = Impl::of(impl_);
    if (position < 0 || (position > 0 && !m.has_row(position - 1))) {
        m.fail(kNoCurrentRecord, "No current record.");
    }
    m.mode = Impl::Mode::None;
    m.pos = position;
}

const Value& Recordset::field(std::string_view name) const {
    auto& m = Impl::of(impl_);
    return field(m.position_of(name));
}

const Value& Recordset::field(std::size_t position) const {
    auto& m = Impl::of(impl_);
    if (position >= m.columns->names.size()) {
        m.fail(kUnknownField,
               "Item not found in this collection: field " + std::to_string(position) + ".");
    }
    if (m.mode != Impl::Mode::None) return m.buffer[position];
    return m.current_field(position);
}

std::size_t Recordset::field_count() const {
    return Impl::of(impl_).columns->names.size();
}

const std::string& Recordset::field_name(std::size_t position) const {
    auto& m = Impl::of(impl_);
    if (position >= m.columns->names.size()) {
        m.fail(kUnknownField,
               "Item not found in this collection: field " + std::to_string(position) + ".");
    }
    return m.columns->names[position];
}

void Recordset::add_new() {
    auto& m = Impl::of(impl_);
    m.check_updatable();
    m.buffer.assign(m.columns->names.size(), Value::null());
    m.changed.assign(m.buffer.size(), false);
    m.mode = Impl::Mode::Adding;
}

void Recordset::edit() {
    auto& m = Impl::of(impl_);
    m.check_updatable();
    if (!m.has_row(m.pos)) m.fail(kNoCurrentRecord, "No current record.");
    m.buffer = *m.keyed_row(m.pos);
    m.changed.assign(m.buffer.size(), false);
    m.mode = Impl::Mode::Editing;
}

void Recordset::set(std::string_view name, const Value& value) {
    auto& m = Impl::of(impl_);
    set(m.position_of(name), value);
}

void Recordset::set(std::size_t position, const Value& value) {
    auto& m = Impl::of(impl_);
    if (m.mode == Impl::Mode::None) {
        m.fail(kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    }
    if (position >= m.buffer.size()) {
        m.fail(kUnknownField,
               "Item not found in this collection: field " + std::to_string(position) + ".");
    }
    if (m.columns->origins[position].empty()) {
        m.fail(kFieldReadOnly, "Field '" + m.columns->names[position] + "' cannot be updated.");
    }
    m.buffer[position] = value.is_empty() ? Value::null() : value;
    m.changed[position] = true;
}

void Recordset::update() {
    auto& m = Impl::of(impl_);
    if (m.mode == Impl::Mode::None) {
        m.fail(kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    }
    if (m.mode == Impl::Mode::Adding) {
        m.insert_row();
    } else {
        m.update_row();
    }
    m.mode = Impl::Mode::None;
}

Recordset::Changes Recordset::take_changes() {
    auto& m = Impl::of(impl_);
    if (m.mode != Impl::Mode::Editing) {
        m.fail(kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    }
    m.mode = Impl::Mode::None;
    Changes changes{m.rowids[static_cast<std::size_t>(m.pos)], m.changed, m.changed_values(), {}};
    m.keyed_row(m.pos);
    changes.read = std::move(m.fetched_row);  // read again when the row is next visited
    changes.version = m.fetched_version;
    m.fetched_pos = -1;
    return changes;
}

bool Recordset::store_changes(const Changes& changes) {
    auto& m = Impl::of(impl_);
    m.check_updatable();
    const std::size_t n = m.columns->names.size();
    if (m.mode != Impl::Mode::None || changes.fields.size() != n || changes.read.size() != n) {
        m.fail(kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    }
    if (changes.values.empty()) return true;
    return m.store_kept(changes);
}

void Recordset::close() {
    impl_.reset();
}

Recordset Database::open_recordset(std::string_view sql, SetKind kind) {
    Recordset rs;
    rs.impl_ = std::make_unique<Recordset::Impl>(conn_, sql, kind);
    return rs;
}

}  // namespace tillora
