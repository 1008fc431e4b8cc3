#include "translate_table.h"

#include "file_reasons.h"

#include "document/cp1252.h"
#include "document/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QtEndian>

#include <shapefil.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// dBase language driver 0x57: Windows ANSI (code page 1252).
constexpr const char *LanguageDriverAnsi = "LDID/87";
constexpr int LockWaitMs = 10000;

DBFHandle Dbf(void *handle)
{
    return static_cast<DBFHandle>(handle);
}

QByteArray FitField(const QByteArray &value)
{
    return value.left(TranslateTable::FieldWidth);
}

// The table library reads and writes through these hooks: plain unbuffered POSIX calls, so
// that what another running copy wrote is seen, a write error is kept, and opening never
// blocks on a FIFO or reads a device.
struct PosixFile {
    int Fd = -1;
    qint64 Position = 0;
    int WriteError = 0; // the first failed write's errno since it was last cleared
};

PosixFile *FileOf(SAFile file)
{
    return reinterpret_cast<PosixFile *>(file);
}

SAFile HookOpen(const char *name, const char *access)
{
    const bool create = std::strchr(access, 'w') != nullptr;
    const bool update = create || std::strchr(access, '+') != nullptr;
    const int fd = ::open(name, (update ? O_RDWR : O_RDONLY) | (create ? O_CREAT | O_TRUNC : 0) | O_NONBLOCK | O_CLOEXEC,
                          0666);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto *file = new PosixFile;
    file->Fd = fd;
    return reinterpret_cast<SAFile>(file);
}

SAOffset HookRead(void *to, SAOffset size, SAOffset count, SAFile handle)
{
    PosixFile *file = FileOf(handle);
    const SAOffset total = size * count;
    SAOffset done = 0;
    while (done < total) {
        const ssize_t got = ::pread(file->Fd, static_cast<char *>(to) + done, total - done, file->Position + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += SAOffset(got);
    }
    file->Position += qint64(done);
    return size ? done / size : 0;
}

SAOffset HookWrite(void *from, SAOffset size, SAOffset count, SAFile handle)
{
    PosixFile *file = FileOf(handle);
    const SAOffset total = size * count;
    SAOffset done = 0;
    while (done < total) {
        const ssize_t put = ::pwrite(file->Fd, static_cast<const char *>(from) + done, total - done, file->Position + done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (!file->WriteError)
                file->WriteError = put < 0 ? errno : EIO;
            break;
        }
        done += SAOffset(put);
    }
    file->Position += qint64(done);
    return size ? done / size : 0;
}

SAOffset HookSeek(SAFile handle, SAOffset offset, int whence)
{
    PosixFile *file = FileOf(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR) {
        base = file->Position;
    } else if (whence == SEEK_END) {
        struct stat info {};
        if (::fstat(file->Fd, &info) != 0)
            return SAOffset(-1);
        base = info.st_size;
    }
    file->Position = base + qint64(offset);
    return 0;
}

SAOffset HookTell(SAFile handle)
{
    return SAOffset(FileOf(handle)->Position);
}

int HookFlush(SAFile handle)
{
    return FileOf(handle)->WriteError ? -1 : 0;
}

int HookClose(SAFile handle)
{
    PosixFile *file = FileOf(handle);
    const int result = ::close(file->Fd);
    delete file;
    return result;
}

int HookRemove(const char *name)
{
    return ::unlink(name);
}

void HookError(const char *)
{
    // Failures reach the caller through the results; nothing is printed.
}

double HookAtof(const char *text)
{
    return std::atof(text);
}

SAHooks *Hooks()
{
    static SAHooks hooks = {HookOpen, HookRead, HookWrite, HookSeek, HookTell, HookFlush, HookClose, HookRemove,
                            HookError, HookAtof};
    return &hooks;
}

// Writers of the table in other running copies of the program wait for each other here.
// When the lock file cannot be made at all (a folder without write permission) the write
// goes ahead unguarded; only a lock held by another copy for too long stops it.
class TableLock {
public:
    explicit TableLock(const QString &tablePath) : lock_(tablePath + QStringLiteral(".lock"))
    {
        held_ = lock_.tryLock(LockWaitMs);
    }
    bool Usable() const { return held_ || lock_.error() != QLockFile::LockFailedError; }

private:
    QLockFile lock_;
    bool held_ = false;
};

TableProblem SentenceProblem(const QString &german)
{
    return {german, {}};
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

bool TranslateTable::Create(const QByteArray &native)
{
    DBFHandle created = DBFCreateLL(native.constData(), LanguageDriverAnsi, Hooks());
    if (!created)
        return false;
    bool ok = true;
    for (int i = 0; i < FieldCount && ok; ++i)
        ok = DBFAddField(created, FieldName(i).toLatin1().constData(), FTString, FieldWidth, 0) == i;
    DBFClose(created);
    if (!ok)
        QFile::remove(path_);
    return ok;
}

bool TranslateTable::Open(const QString &path, bool readOnly)
{
    Close();
    path_ = path;
    problem_ = {};
    const QByteArray native = QFile::encodeName(path);
    if (!readOnly && !QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        TableLock lock(path); // two copies starting at once create the table once
        if (lock.Usable() && !QFileInfo::exists(path))
            Create(native);
    }

    // The head is checked against the file's size before the library reads anything.
    QByteArray head;
    const FileOutcome read = ReadRegularFile(path, 65535, head, false);
    if (!read.Ok()) {
        const GermanReason reason = FileReasonGerman(read);
        problem_ = {reason.German, reason.Args};
        return false;
    }
    const TableCheck check = CheckTableHead(head, QFileInfo(path).size());
    if (!check.Readable) {
        problem_ = check.Problem;
        return false;
    }
    readOnly_ = readOnly || !check.Understood;
    problem_ = check.Problem;
    if (!readOnly_)
        handle_ = DBFOpenLL(native.constData(), "rb+", Hooks());
    if (!handle_) {
        readOnly_ = true;
        handle_ = DBFOpenLL(native.constData(), "rb", Hooks());
    }
    DBFHandle dbf = Dbf(handle_);
    // The library must see the table that was checked (it may have changed in between).
    if (!dbf || dbf->nHeaderLength != check.HeaderLength || dbf->nRecordLength != check.RecordLength ||
        dbf->nFields < 1) {
        Close();
        problem_ = SentenceProblem(QStringLiteral("Der Kopf der Tabelle ist beschädigt."));
        return false;
    }
    dbf->nRecords = std::min(dbf->nRecords, check.Records);
    position_ = 0;
    return true;
}

void TranslateTable::Close()
{
    if (handle_)
        DBFClose(Dbf(handle_));
    handle_ = nullptr;
}

bool TranslateTable::Change(const std::function<bool()> &change)
{
    if (!handle_ || readOnly_)
        return false;
    if (changing_)
        return change();
    TableLock lock(path_);
    if (!lock.Usable())
        return false;
    DBFHandle dbf = Dbf(handle_);
    PosixFile *file = FileOf(dbf->fp);
    // Another copy may have added rows since: take the count the file has now.
    uchar head[TableFileHeadBytes];
    struct stat info {};
    if (::pread(file->Fd, head, sizeof head, 0) != qint64(sizeof head) || ::fstat(file->Fd, &info) != 0)
        return false;
    const qint64 claimed = qFromLittleEndian<quint32>(head + 4);
    if (claimed > (info.st_size - dbf->nHeaderLength) / dbf->nRecordLength || claimed > MaxRecords) {
        readOnly_ = true; // damaged while we ran: no more writing into it
        problem_ = SentenceProblem(QStringLiteral("Die Tabelle wurde von außen beschädigt; sie wird nur gelesen."));
        return false;
    }
    const int before = int(claimed);
    dbf->nRecords = before;
    dbf->nCurrentRecord = -1; // what the library holds of a row may be stale
    dbf->bCurrentRecordModified = 0;
    file->WriteError = 0;

    bool ok = false;
    {
        const struct Changing {
            bool &flag;
            explicit Changing(bool &f) : flag(f) { flag = true; }
            ~Changing() { flag = false; }
        } changing(changing_);
        ok = change();
    }
    DBFUpdateHeader(dbf);
    dbf->bUpdated = 0; // closing must not write this copy's count over a newer one
    if (file->WriteError) {
        // A row that did not reach the disk (a full disk) must not be counted in the head.
        ok = false;
        char count[4];
        qToLittleEndian<quint32>(quint32(before), count);
        if (::pwrite(file->Fd, count, 4, 4) != 4)
            readOnly_ = true; // the head may count a row that is not there: no more writing this run
        dbf->nRecords = before;
        dbf->nCurrentRecord = -1;
        dbf->bCurrentRecordModified = 0;
    }
    return ok;
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
    // A column of another type (a number, a date) of a foreign table holds no text of ours.
    if (DBFGetNativeFieldType(Dbf(handle_), column) != 'C')
        return {};
    const char *tuple = DBFReadTuple(Dbf(handle_), record);
    if (!tuple)
        return {};
    const DBFHandle dbf = Dbf(handle_);
    QByteArray value(tuple + dbf->panFieldOffset[column], dbf->panFieldSize[column]);
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

bool TranslateTable::WriteField(int record, int column, const QByteArray &value)
{
    return Change([&] {
        return record >= 0 && record <= RecordCount() && column >= 0 && column < DBFGetFieldCount(Dbf(handle_)) &&
               DBFWriteStringAttribute(Dbf(handle_), record, column, FitField(value).constData());
    });
}

bool TranslateTable::WriteRecord(int record, const QVector<QByteArray> &values)
{
    return Change([&] {
        if (record < 0 || record > RecordCount())
            return false;
        bool ok = true;
        const int fields = DBFGetFieldCount(Dbf(handle_));
        for (int column = 0; column < fields; ++column)
            ok = DBFWriteStringAttribute(Dbf(handle_), record, column,
                                         FitField(column < values.size() ? values[column] : QByteArray()).constData()) &&
                 ok;
        return ok;
    });
}

int TranslateTable::AppendRecord(const QVector<QByteArray> &values)
{
    int record = -1;
    const bool ok = Change([&] {
        record = RecordCount(); // the end of the table as the file has it now
        bool written = true;
        const int fields = DBFGetFieldCount(Dbf(handle_));
        for (int column = 0; column < fields; ++column)
            written = DBFWriteStringAttribute(Dbf(handle_), record, column,
                                              FitField(column < values.size() ? values[column] : QByteArray())
                                                  .constData()) &&
                      written;
        return written && RecordCount() == record + 1;
    });
    return ok ? record : -1;
}

bool TranslateTable::SetDeleted(int record, bool deleted)
{
    return Change([&] {
        return record >= 0 && record < RecordCount() && DBFMarkRecordDeleted(Dbf(handle_), record, deleted);
    });
}

bool TranslateTable::InOneStep(const std::function<bool()> &steps)
{
    return Change(steps);
}

int TranslateTable::FindOrAppend(const QByteArray &key, int from)
{
    int record = -1;
    Change([&] {
        for (int r = std::max(0, from); r < RecordCount(); ++r)
            if (!IsDeleted(r) && Field(r, 0) == key) {
                record = r;
                return true;
            }
        record = AppendRecord({key});
        return record >= 0;
    });
    return record;
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
