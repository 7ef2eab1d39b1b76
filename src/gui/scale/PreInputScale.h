#pragma once

#include "scale/ScaleSettle.h"

#include <QObject>

#include <functional>

namespace quarvel {

class CPreInputPage;
class ScaleLink;
class ScaleSettings;

// The scale on the pre-entry page: the port is open while the weight field
// has the focus during the entry of a new record, and every weight goes into
// the field (the form ignores it while a save runs). For a continuous scale
// the mark beside the field says whether the weight has settled; the status
// pane says the weight came from the scale, and says why when the scale
// cannot be opened or goes away (never a message box: the focus would bounce
// between the box and the field).
class PreInputScale : public QObject {
    Q_OBJECT

public:
    // The frame's current-operation pane: a text in its colour (RGB).
    using StatusLine = std::function<void(const QString &text, unsigned rgb)>;

    static constexpr unsigned kSettledColor = 0x008000;
    static constexpr unsigned kMovingColor = 0x800000;
    static constexpr unsigned kWaitingColor = 0x808080;
    static constexpr unsigned kFailureColor = 0xFF0000;

    PreInputScale(ScaleLink &link, const ScaleSettings &settings, CPreInputPage &page, StatusLine status);
    ~PreInputScale() override;

    bool listening() const;
    const ScaleSettle &settle() const { return settle_; }

private:
    void weightFocus(bool gained);
    void reading(int grams, int step);
    void lost(const QString &reason);
    void showIndicator();
    void showStatus(const QString &text, unsigned rgb);
    void clearStatus();

    ScaleLink &link_;
    const ScaleSettings &settings_;
    CPreInputPage &page_;
    StatusLine status_;
    ScaleSettle settle_;
    bool continuous_ = false;
    bool statusShown_ = false;
    QString statusText_;
    unsigned statusColour_ = 0;
};

} // namespace quarvel
