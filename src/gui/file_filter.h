#pragma once

#include <QStringList>

#include <string>

// "Name|*.a; *.b|Other|*.c||" as Qt's name filters: "Name (*.a *.b)", "Other (*.c)". "*.*"
// becomes "*", which in Qt also matches names without a dot. Incomplete pairs are dropped.
QStringList TranslateFileFilter(const std::string& filter);
