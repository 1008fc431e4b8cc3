// Opening a worksheet (a PDF, or a PNG or JPEG picture) as a new drawing whose sheets are its
// pages: after the question about unsaved changes, with the password of an encrypted PDF and
// the choice of pages when a PDF has more than a drawing's sheets. A worksheet that cannot be
// opened is said with its reason, and the drawing stays as it was.
#pragma once

#include <QString>

namespace velmora {

class DocumentSession;

class WorksheetCommands {
public:
    explicit WorksheetCommands(DocumentSession &session) : session_(session) {}

    // "Arbeitsblatt öffnen...": after the question, the worksheet chosen in the open dialog.
    bool Open();
    // A worksheet named from outside the window (command line, desktop, drop): after the question.
    bool OpenFromOutside(const QString &path);
    // Opens the worksheet without the question about unsaved changes.
    bool OpenFile(const QString &path);

private:
    DocumentSession &session_;
};

} // namespace velmora
