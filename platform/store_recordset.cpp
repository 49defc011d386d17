// Result sets: rows read at open, a current position, and for updatable sets the writing back of
// added and edited rows by rowid.
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

struct Recordset::Impl {
    enum class Mode { None, Adding, Editing };

    std::shared_ptr<detail::Connection> conn;
    std::shared_ptr<const detail::Columns> columns;
    std::vector<std::vector<Value>> rows;
    std::vector<std::int64_t> rowids;
    std::size_t pos = 0;
    std::optional<detail::UpdatableSelect> source;  // set when rows can be written back
    Mode mode = Mode::None;
    std::vector<Value> buffer;
    std::vector<bool> changed;

    Impl(std::shared_ptr<detail::Connection> c, std::string_view sql, SetKind kind)
        : conn(std::move(c)) {
        if (kind == SetKind::Updatable) source = detail::parse_updatable(sql);
        if (source) {
            std::string with_rowid(sql.substr(0, source->list_start));
            with_rowid += rowid_expr() + ", ";
            with_rowid += sql.substr(source->list_start);
            try {
                take(conn->query(with_rowid, true));
                return;
            } catch (const StoreError& e) {
                if (e.code() != SQLITE_ERROR) throw;
                source.reset();  // no rowid (a view): the rows are read-only
            }
        }
        take(conn->query(sql, false));
    }

    // The set's state, checked to be open. Throws StoreError(3420) for a closed set or database.
    static const Impl& of(const std::unique_ptr<Impl>& impl) {
        if (!impl) throw StoreError(kObjectInvalid, "Object invalid or no longer set.", "");
        impl->check_open();
        return *impl;
    }
    static Impl& of(std::unique_ptr<Impl>& impl) {
        return const_cast<Impl&>(of(static_cast<const std::unique_ptr<Impl>&>(impl)));
    }

    std::string rowid_expr() const { return source->qualifier + ".rowid"; }

    void take(detail::ResultRows r) {
        columns = std::move(r.columns);
        rows = std::move(r.rows);
        rowids = std::move(r.rowids);
    }

    [[noreturn]] void fail(int code, const std::string& message) const {
        throw StoreError(code, message, conn->name);
    }
    void check_open() const {
        if (!conn->is_open()) fail(kObjectInvalid, "Object invalid or no longer set.");
    }
    void check_current() const {
        if (pos >= rows.size()) fail(kNoCurrentRecord, "No current record.");
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

    // The row with this rowid as the set's query shows it.
    std::optional<std::vector<Value>> fetch(std::int64_t rowid) {
        const std::string sql = "select " + rowid_expr() + ", " + source->list + " " +
                                source->from_clause + " where " + rowid_expr() + " = ?";
        auto r = conn->query(sql, true, {Value(rowid)});
        if (r.rows.empty()) return std::nullopt;
        return std::move(r.rows.front());
    }

    void insert_row() {
        std::string names;
        std::string marks;
        std::vector<Value> values;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            if (!changed[i]) continue;
            names += (values.empty() ? "" : ", ") + quote_name(columns->origins[i]);
            marks += values.empty() ? "?" : ", ?";
            values.push_back(buffer[i]);
        }
        const std::string table = quote_name(source->table);
        conn->run(values.empty()
                      ? "insert into " + table + " default values"
                      : "insert into " + table + " (" + names + ") values (" + marks + ")",
                  values);
        const std::int64_t rowid = sqlite3_last_insert_rowid(conn->handle());
        const bool at_end = pos >= rows.size();
        rows.push_back(fetch(rowid).value_or(buffer));
        rowids.push_back(rowid);
        if (at_end) pos = rows.size();  // an added row does not become the current one
    }

    void update_row() {
        std::string assignments;
        std::vector<Value> values;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            if (!changed[i]) continue;
            assignments += (values.empty() ? "" : ", ") + quote_name(columns->origins[i]) + " = ?";
            values.push_back(buffer[i]);
        }
        if (values.empty()) return;
        values.emplace_back(rowids[pos]);
        conn->run(
            "update " + quote_name(source->table) + " set " + assignments + " where rowid = ?",
            values);
        if (sqlite3_changes(conn->handle()) == 0) fail(kRecordDeleted, "Record is deleted.");
        rows[pos] = fetch(rowids[pos]).value_or(buffer);
    }
};

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

long Recordset::record_count() const {
    return static_cast<long>(Impl::of(impl_).rows.size());
}

bool Recordset::eof() const {
    const auto& m = Impl::of(impl_);
    return m.pos >= m.rows.size();
}

bool Recordset::bof() const {
    return Impl::of(impl_).rows.empty();
}

void Recordset::move_next() {
    auto& m = Impl::of(impl_);
    m.check_current();
    m.mode = Impl::Mode::None;
    ++m.pos;
}

void Recordset::move_first() {
    auto& m = Impl::of(impl_);
    if (m.rows.empty()) m.fail(kNoCurrentRecord, "No current record.");
    m.mode = Impl::Mode::None;
    m.pos = 0;
}

void Recordset::move_last() {
    auto& m = Impl::of(impl_);
    if (m.rows.empty()) m.fail(kNoCurrentRecord, "No current record.");
    m.mode = Impl::Mode::None;
    m.pos = m.rows.size() - 1;
}

long Recordset::absolute_position() const {
    return static_cast<long>(Impl::of(impl_).pos);
}

void Recordset::move_to(long position) {
    auto& m = Impl::of(impl_);
    if (position < 0 || static_cast<std::size_t>(position) > m.rows.size()) {
        m.fail(kNoCurrentRecord, "No current record.");
    }
    m.mode = Impl::Mode::None;
    m.pos = static_cast<std::size_t>(position);
}

const Value& Recordset::field(std::string_view name) const {
    const auto& m = Impl::of(impl_);
    return field(m.position_of(name));
}

const Value& Recordset::field(std::size_t position) const {
    const auto& m = Impl::of(impl_);
    if (position >= m.columns->names.size()) {
        m.fail(kUnknownField,
               "Item not found in this collection: field " + std::to_string(position) + ".");
    }
    if (m.mode != Impl::Mode::None) return m.buffer[position];
    m.check_current();
    return m.rows[m.pos][position];
}

std::size_t Recordset::field_count() const {
    return Impl::of(impl_).columns->names.size();
}

const std::string& Recordset::field_name(std::size_t position) const {
    const auto& m = Impl::of(impl_);
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
    m.check_current();
    m.buffer = m.rows[m.pos];
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

void Recordset::close() {
    impl_.reset();
}

Recordset Database::open_recordset(std::string_view sql, SetKind kind) {
    Recordset rs;
    rs.impl_ = std::make_unique<Recordset::Impl>(conn_, sql, kind);
    return rs;
}

}  // namespace tillora
