// What dialogs keep between openings: their window placement, the layouts of their lists and
// the input histories of their combo boxes, each under a fixed name. The settings store
// implements it; tests keep it in memory.
#pragma once

#include "widgets/ListLayout.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace kelvo {

class DialogStateStore : public ListLayoutStore {
public:
    virtual void SaveWindowState(const QWidget& window, const QString& name) = 0;
    /// Applies the stored placement; false (window unchanged) when none can be used.
    virtual bool LoadWindowState(QWidget& window, const QString& name) = 0;
    /// The entries of an input history in list order, empty ones left out; empty when none
    /// is stored.
    virtual QStringList LoadHistory(const QString& name) = 0;
    /// Replaces an input history by `entries`, in list order.
    virtual void SaveHistory(const QString& name, const QStringList& entries) = 0;
};

} // namespace kelvo
