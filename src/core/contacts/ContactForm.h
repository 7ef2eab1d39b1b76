#pragma once

#include "contacts/ContactValues.h"
#include "storage/ContactRecord.h"

#include <QString>

#include <functional>
#include <optional>

namespace quarvel {

class ClientContext;
class ContactFile;
class Prompter;

// The address-book page without its widgets: the twelve values of one
// contact and every operation of the page (new, load, save with all its
// checks in order, delete, copy and paste, the name and phone look-ups on
// Enter). The window and quarvelctl both save through it.
class ContactForm {
public:
    static constexpr unsigned kGreen = 0x008000;
    static constexpr unsigned kRed = 0xFF0000;

    // A saved (saved = true) or deleted contact, for the list.
    using RecordChanged = std::function<void(bool saved, const ContactRecord &record)>;

    ContactForm(ClientContext &context, Prompter &prompter);

    ContactValues &values() { return values_; }
    const ContactValues &values() const { return values_; }
    void setRecordChanged(RecordChanged handler) { recordChanged_ = std::move(handler); }

    void NewContact();
    // Shows a stored contact; false (page unchanged) when there is none.
    bool LoadContact(int iid);
    // Every check in order; nothing is written before all have passed.
    bool SaveContact();
    // The last save failed writing to the disk (not a check).
    bool storageFailed() const { return storageFailed_; }
    // Asks first; false when nothing was deleted.
    bool DeleteContact();
    // Copies every value but the code.
    void CopyAll();
    bool hasCopy() const { return copy_.has_value(); }
    void PasteAll();

    // Enter in the name (phone) field: the name (phone) is checked and, when
    // a contact holds it, that contact is loaded over what was typed. True
    // when a contact was loaded.
    bool LookupName();
    bool LookupPhone();

    int iid() const { return iid_; }
    bool isNew() const { return iid_ < 0; }
    QString title() const;
    unsigned titleColor() const { return isNew() ? kGreen : kRed; }

private:
    bool checkAll();
    bool checkUnique();
    bool store();
    bool failOnDisk(const QString &reason);

    ClientContext &context_;
    ContactFile &file_;
    Prompter &prompter_;
    ContactValues values_;
    ContactRecord record_{};
    int iid_ = -1;
    std::optional<ContactValues> copy_;
    RecordChanged recordChanged_;
    bool storageFailed_ = false;
};

} // namespace quarvel
