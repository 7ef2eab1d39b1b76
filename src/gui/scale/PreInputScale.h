#pragma once

#include "scale/ScaleReading.h"
#include "scale/ScaleSettle.h"

#include <QObject>

#include <functional>

class QTimer;

namespace quarvel {

class CPreInputPage;
class ScaleLink;
class ScaleSettings;

// The scale on the pre-entry page: the port is open while the weight field
// has the focus during the entry of a new record, and a weight goes into the
// field only when the scale shows one (ScaleSettle): never one that moves,
// is negative, overloaded or out of range, and a weight shown is taken out
// again when the scale stops showing it. The mark beside the field says
// what the scale shows (稳定, 不稳定, 负重, 超载, ...); the status pane says
// where the weight came from or why there is none, and says why when the
// scale cannot be opened or goes away (never a message box: the focus would
// bounce between the box and the field). A scale that goes away or is not
// there is tried again every second while the field has the focus, so it is
// used again when it comes back.
class PreInputScale : public QObject {
    Q_OBJECT

public:
    // The frame's current-operation pane: a text in its colour (RGB).
    using StatusLine = std::function<void(const QString &text, unsigned rgb)>;

    static constexpr unsigned kFailureColor = ScaleSettle::kRefusedColor;
    static constexpr int kRetryMs = 1000;

    PreInputScale(ScaleLink &link, const ScaleSettings &settings, CPreInputPage &page, StatusLine status);
    ~PreInputScale() override;

    bool listening() const;
    bool retrying() const;
    const ScaleSettle &settle() const { return settle_; }

private:
    void weightFocus(bool gained);
    bool open();
    void retry();
    void reading(const ScaleReading &reading);
    void lost(const QString &reason);
    void showIndicator();
    void showStatus(const QString &text, unsigned rgb);
    void clearStatus();

    ScaleLink &link_;
    const ScaleSettings &settings_;
    CPreInputPage &page_;
    StatusLine status_;
    ScaleSettle settle_;
    QTimer *retry_;
    bool continuous_ = false;
    bool inField_ = false;
    bool fromScale_ = false;
    bool statusShown_ = false;
    QString statusText_;
    unsigned statusColour_ = 0;
};

} // namespace quarvel
