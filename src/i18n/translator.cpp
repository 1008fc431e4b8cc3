#include "translator.h"

#include "document/cp1252.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velmora {

namespace {

char *CopyKey(const QByteArray &key)
{
    auto *copy = static_cast<char *>(std::calloc(size_t(key.size()) + 1, 1));
    if (copy)
        std::memcpy(copy, key.constData(), size_t(key.size()));
    return copy;
}

int CompareKeys(const char *a, const char *b)
{
    return std::strcmp(a, b); // byte-wise: strcmp compares as unsigned char
}

// Blanks and control characters (everything up to and including the space) at both ends.
QByteArray TrimBlanks(const QByteArray &value)
{
    int start = 0, end = value.size();
    while (start < end && static_cast<unsigned char>(value[start]) <= ' ')
        ++start;
    while (end > start && static_cast<unsigned char>(value[end - 1]) <= ' ')
        --end;
    return value.mid(start, end - start);
}

} // namespace

Translator::Translator(TranslateTable &table) : table_(table)
{
    for (auto &bucket : TranslationIndex)
        bucket = std::make_unique<TranslationBucket>(&CurrentEntry);
}

Translator::~Translator()
{
    ReleaseIndex();
}

void Translator::ReleaseIndex()
{
    for (auto &bucket : TranslationIndex) {
        for (int i = 0; i < bucket->Count; ++i)
            std::free(bucket->At(i).Key);
        bucket->Clear();
    }
}

QString Translator::GermanMessage(Message message)
{
    switch (message) {
    case Message::RestartForLanguage: return QStringLiteral("Bitte schließen Sie das Programm und starten Sie es erneut!");
    case Message::ProgramTitle: return QStringLiteral("Brandok Velmora 1.0");
    case Message::Untitled: return QStringLiteral("unbenannt.vlm");
    case Message::Drawing: return QStringLiteral("Zeichnung");
    case Message::SaveChangesQuestion:
        return QStringLiteral("Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?");
    case Message::SaveChangesCaption: return QStringLiteral("Speichern");
    }
    return {};
}

QString Translator::ProgramMessage(Message message)
{
    return TranslateString(GermanMessage(message));
}

void Translator::RegisterMessages()
{
    for (Message message : {Message::RestartForLanguage, Message::ProgramTitle, Message::Untitled, Message::Drawing,
                             Message::SaveChangesQuestion, Message::SaveChangesCaption})
        TranslateString(GermanMessage(message));
}

void Translator::IndexRow(int record)
{
    const QByteArray key = table_.Field(record, 0);
    if (key.isEmpty())
        return;
    char *copy = CopyKey(key);
    TranslationEntry *entry = copy ? TranslationIndex[static_cast<unsigned char>(key[0])]->Append() : nullptr;
    if (entry)
        *entry = {copy, record};
    else
        std::free(copy);
}

void Translator::LoadTranslationIndex()
{
    ReleaseIndex();
    table_.First();
    while (!table_.Eof()) {
        IndexRow(table_.RecNo());
        table_.Next();
    }
    indexedRecords_ = table_.RecordCount();
    for (auto &bucket : TranslationIndex)
        if (bucket->Count > 0)
            SortBucket(*bucket, 0, bucket->Count - 1);
}

void Translator::IndexNewRows()
{
    for (int record = indexedRecords_; record < table_.RecordCount(); ++record)
        if (!table_.IsDeleted(record))
            IndexRow(record); // at the end of its bucket, unsorted
    indexedRecords_ = std::max(indexedRecords_, table_.RecordCount());
}

void Translator::SortBucket(TranslationBucket &bucket, int low, int high)
{
    // Rows of the same text keep the table's order, so the first row of a text is the first
    // one looked at.
    const auto compare = [&bucket](int at, const QByteArray &key, int record) {
        const int order = CompareKeys(bucket.At(at).Key, key.constData());
        return order != 0 ? order : (bucket.At(at).RecordNumber > record) - (bucket.At(at).RecordNumber < record);
    };
    const QByteArray pivot(bucket.At((low + high) / 2).Key);
    const int pivotRecord = bucket.At((low + high) / 2).RecordNumber;
    int i = low, j = high;
    do {
        while (compare(i, pivot, pivotRecord) < 0)
            ++i;
        while (compare(j, pivot, pivotRecord) > 0)
            --j;
        if (i <= j) {
            bucket.Swap(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (low < j)
        SortBucket(bucket, low, j);
    if (i < high)
        SortBucket(bucket, i, high);
}

QString Translator::TranslateString(const QString &text)
{
    int a = 0, b = 0;
    while (a < text.size() && text[a] == QLatin1Char(' '))
        ++a;
    if (a == text.size())
        return text; // empty, or spaces only
    while (text[text.size() - 1 - b] == QLatin1Char(' '))
        ++b;
    const QByteArray key = UnicodeToCp1252(text.mid(a, text.size() - a - b));
    if (const std::optional<QString> found = Lookup(key, a, b))
        return found->isNull() ? text : *found;

    // A text met for the first time gets its row, for a translator to fill in; looked up
    // and added in one step, and the rows other copies added meanwhile are indexed too.
    table_.FindOrAppend(key, indexedRecords_);
    IndexNewRows();
    const std::optional<QString> found = Lookup(key, a, b);
    return found && !found->isNull() ? *found : text;
}

std::optional<QString> Translator::Lookup(const QByteArray &key, int a, int b)
{
    TranslationBucket &bucket = *TranslationIndex[static_cast<unsigned char>(key[0])];
    std::optional<QString> result;
    bucket.First();
    while (bucket.Next()) {
        if (CompareKeys(CurrentEntry->Key, key.constData()) != 0)
            continue;
        const QByteArray translation = TrimBlanks(table_.Field(CurrentEntry->RecordNumber, LanguageColumn));
        if (!translation.isEmpty())
            return QString(a, QLatin1Char(' ')) + Cp1252ToUnicode(translation) + QString(b, QLatin1Char(' '));
        result = QString(); // known, but without a translation here: another row of it may have one
    }
    return result;
}

} // namespace velmora
