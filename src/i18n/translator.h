// TranslateString and its index: every interface text is looked up by its German text in
// the translation table; unknown texts are recorded as new rows for a translator to fill.
#pragma once

#include "translate_table.h"

#include "document/dyna_array.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace velmora {

// One index entry: a copy of a row's German text and the row's record number.
struct TranslationEntry {
    char *Key; // zero-terminated Windows-1252, owned by the index
    int32_t RecordNumber;
};

using TranslationBucket = TDynaArray<TranslationEntry>;

// The program's messages, with the numbers they have always had in the translation table.
enum class Message {
    RestartForLanguage = 1,
    ProgramTitle = 2,
    Untitled = 6,
    Drawing = 7,
    SaveChangesQuestion = 8,
    SaveChangesCaption = 9,
};

class Translator {
public:
    explicit Translator(TranslateTable &table);
    ~Translator();
    Translator(const Translator &) = delete;
    Translator &operator=(const Translator &) = delete;

    // Column of the current language: 0 German, 1 English, 2 Italian, up to 18.
    int LanguageColumn = 2;

    // Builds the index of all rows with a German text, each bucket sorted by key (rows of
    // the same text by their order in the table).
    void LoadTranslationIndex();
    // The translation of text. Of several rows with the same German text, the first one that
    // holds a translation in the current column gives it. A text met for the first time gets
    // a row of its own, unless another running copy just added it.
    QString TranslateString(const QString &text);
    // The translation of a program message, or an empty text for a number not in use.
    QString ProgramMessage(Message message);
    // Passes every program message through the translator once, so each has its row.
    void RegisterMessages();

    static QString GermanMessage(Message message);
    static void SortBucket(TranslationBucket &bucket, int low, int high);

    const TranslationBucket &Bucket(unsigned char firstByte) const { return *TranslationIndex[firstByte]; }
    TranslateTable &Table() { return table_; }

private:
    void ReleaseIndex();
    void IndexRow(int record);
    void IndexNewRows(); // the rows added to the table since the index last looked
    // The translation from the rows of key, or none when no row of key is indexed.
    std::optional<QString> Lookup(const QByteArray &key, int a, int b);

    TranslateTable &table_;
    TranslationEntry *CurrentEntry = nullptr; // shared by all buckets
    int indexedRecords_ = 0;                  // rows of the table the index has looked at
    std::array<std::unique_ptr<TranslationBucket>, 256> TranslationIndex;
};

} // namespace velmora
