#include "translator.h"

#include "document/cp1252.h"

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

void Translator::LoadTranslationIndex()
{
    ReleaseIndex();
    table_.First();
    while (!table_.Eof()) {
        const QByteArray key = table_.Field(table_.RecNo(), 0);
        if (!key.isEmpty()) {
            char *copy = CopyKey(key);
            TranslationEntry *entry = copy ? TranslationIndex[static_cast<unsigned char>(key[0])]->Append() : nullptr;
            if (entry)
                *entry = {copy, table_.RecNo()};
            else
                std::free(copy);
        }
        table_.Next();
    }
    for (auto &bucket : TranslationIndex)
        if (bucket->Count > 0)
            SortBucket(*bucket, 0, bucket->Count - 1);
}

void Translator::SortBucket(TranslationBucket &bucket, int low, int high)
{
    const QByteArray pivot(bucket.At((low + high) / 2).Key);
    int i = low, j = high;
    do {
        while (CompareKeys(bucket.At(i).Key, pivot.constData()) < 0)
            ++i;
        while (CompareKeys(bucket.At(j).Key, pivot.constData()) > 0)
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

    TranslationBucket &bucket = *TranslationIndex[static_cast<unsigned char>(key[0])];
    bucket.First();
    while (bucket.Next()) {
        if (CompareKeys(CurrentEntry->Key, key.constData()) != 0)
            continue;
        const QByteArray translation = TrimBlanks(table_.Field(CurrentEntry->RecordNumber, LanguageColumn));
        if (translation.isEmpty())
            return text;
        return QString(a, QLatin1Char(' ')) + Cp1252ToUnicode(translation) + QString(b, QLatin1Char(' '));
    }

    // A text met for the first time gets its row, for a translator to fill in.
    const int record = table_.AppendRecord({key});
    if (record >= 0) {
        char *copy = CopyKey(key);
        TranslationEntry *entry = copy ? bucket.Append() : nullptr;
        if (entry)
            *entry = {copy, record};
        else
            std::free(copy);
    }
    return text;
}

} // namespace velmora
