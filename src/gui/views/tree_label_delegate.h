#pragma once

#include <QLineEdit>
#include <QStyledItemDelegate>

#include <functional>

// Hands an edited label to a callback instead of the model: the document renames the specimen
// and its hint sets the label.
class CTreeLabelDelegate : public QStyledItemDelegate {
public:
    using Callback = std::function<void(const QModelIndex& index, const QString& text)>;

    CTreeLabelDelegate(Callback callback, QObject* parent)
        : QStyledItemDelegate(parent), callback_(std::move(callback)) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (const auto* edit = qobject_cast<QLineEdit*>(editor))
            callback_(index, edit->text());
    }

private:
    Callback callback_;
};
