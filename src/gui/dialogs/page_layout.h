#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

// Small helpers for the label-and-field rows of the pages.

// A read-only field shows the window's colour behind its text, as the platform's read-only
// edits do, so it does not look editable; its text can still be selected and copied.
inline QLineEdit* MakeEdit(QWidget* parent, bool readOnly = false) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(readOnly);
    if (readOnly) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        edit->setPalette(pal);
    }
    return edit;
}

// Appends "label | field [| extra]" as the next row of the grid; returns the label.
inline QLabel* AddRow(QGridLayout* grid, const QString& text, QWidget* field,
                      QWidget* extra = nullptr) {
    const int row = grid->rowCount();
    auto* label = new QLabel(text, grid->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    if (extra)
        grid->addWidget(extra, row, 2);
    return label;
}

// Appends a widget over the whole width of the grid.
inline void AddWide(QGridLayout* grid, QWidget* widget) {
    grid->addWidget(widget, grid->rowCount(), 0, 1, 3);
}
