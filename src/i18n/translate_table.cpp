#include "translate_table.h"

#include "document/cp1252.h"

#include <QFile>

#include <shapefil.h>

#include <cstring>

namespace velmora {

namespace {

// dBase language driver 0x57: Windows ANSI (code page 1252).
constexpr const char *LanguageDriverAnsi = "LDID/87";

DBFHandle Dbf(void *handle)
{
    return static_cast<DBFHandle>(handle);
}

QByteArray FitField(const QByteArray &value)
{
    return value.left(TranslateTable::FieldWidth);
}

} // namespace

TranslateTable::~TranslateTable()
{
    Close();
}

QString TranslateTable::FieldName(int column)
{
    return QStringLiteral("language%1").arg(column + 1);
}

bool TranslateTable::Open(const QString &path, bool readOnly)
{
    Close();
    path_ = path;
    const QByteArray native = QFile::encodeName(path);
    if (!readOnly && !QFile::exists(path)) {
        DBFHandle created = DBFCreateEx(native.constData(), LanguageDriverAnsi);
        if (created) {
            bool ok = true;
            for (int i = 0; i < FieldCount && ok; ++i)
                ok = DBFAddField(created, FieldName(i).toLatin1().constData(), FTString, FieldWidth, 0) == i;
            DBFClose(created);
            if (!ok)
                QFile::remove(path);
        }
    }
    readOnly_ = false;
    if (!readOnly)
        handle_ = DBFOpen(native.constData(), "rb+");
    if (!handle_) {
        readOnly_ = true;
        handle_ = DBFOpen(native.constData(), "rb");
    }
    if (handle_ && DBFGetFieldCount(Dbf(handle_)) < 1) {
        Close(); // not a table of texts
        return false;
    }
    position_ = 0;
    return handle_ != nullptr;
}

void TranslateTable::Close()
{
    if (handle_)
        DBFClose(Dbf(handle_));
    handle_ = nullptr;
}

int TranslateTable::RecordCount() const
{
    return handle_ ? DBFGetRecordCount(Dbf(handle_)) : 0;
}

bool TranslateTable::IsDeleted(int record) const
{
    return handle_ && record >= 0 && record < RecordCount() && DBFIsRecordDeleted(Dbf(handle_), record);
}

QByteArray TranslateTable::Field(int record, int column) const
{
    if (!handle_ || record < 0 || record >= RecordCount() || column < 0 || column >= DBFGetFieldCount(Dbf(handle_)))
        return {};
    const char *tuple = DBFReadTuple(Dbf(handle_), record);
    if (!tuple)
        return {};
    int offset = 1;
    for (int i = 0; i < column; ++i) {
        int width = 0;
        DBFGetFieldInfo(Dbf(handle_), i, nullptr, &width, nullptr);
        offset += width;
    }
    int width = 0;
    DBFGetFieldInfo(Dbf(handle_), column, nullptr, &width, nullptr);
    QByteArray value(tuple + offset, width);
    int end = value.size();
    while (end > 0 && (value[end - 1] == ' ' || value[end - 1] == '\0'))
        --end;
    value.truncate(end);
    return value;
}

QString TranslateTable::FieldText(int record, int column) const
{
    return Cp1252ToUnicode(Field(record, column));
}

bool TranslateTable::Flush()
{
    DBFUpdateHeader(Dbf(handle_));
    return true;
}

bool TranslateTable::WriteField(int record, int column, const QByteArray &value)
{
    if (!handle_ || readOnly_ || record < 0 || record > RecordCount() || column < 0 ||
        column >= DBFGetFieldCount(Dbf(handle_)))
        return false;
    const bool ok = DBFWriteStringAttribute(Dbf(handle_), record, column, FitField(value).constData());
    Flush();
    return ok;
}

bool TranslateTable::WriteRecord(int record, const QVector<QByteArray> &values)
{
    if (!handle_ || readOnly_ || record < 0 || record > RecordCount())
        return false;
    bool ok = true;
    const int fields = DBFGetFieldCount(Dbf(handle_));
    for (int column = 0; column < fields; ++column)
        ok = DBFWriteStringAttribute(Dbf(handle_), record, column,
                                     FitField(column < values.size() ? values[column] : QByteArray()).constData()) &&
             ok;
    Flush();
    return ok;
}

int TranslateTable::AppendRecord(const QVector<QByteArray> &values)
{
    const int record = RecordCount();
    if (!WriteRecord(record, values) || RecordCount() != record + 1)
        return -1;
    return record;
}

bool TranslateTable::SetDeleted(int record, bool deleted)
{
    if (!handle_ || readOnly_ || record < 0 || record >= RecordCount())
        return false;
    const bool ok = DBFMarkRecordDeleted(Dbf(handle_), record, deleted);
    Flush();
    return ok;
}

bool TranslateTable::Visible(int record) const
{
    return record >= 0 && record < RecordCount() && !IsDeleted(record) && (!filter_ || filter_(record));
}

void TranslateTable::SkipHidden()
{
    const int count = RecordCount();
    while (position_ < count && !Visible(position_))
        ++position_;
}

void TranslateTable::First()
{
    position_ = 0;
    SkipHidden();
}

void TranslateTable::Next()
{
    if (position_ < RecordCount())
        ++position_;
    SkipHidden();
}

} // namespace velmora
