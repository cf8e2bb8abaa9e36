#pragma once

#include <QStringList>

#include <string>

// "Name|*.a; *.b|Other (*.c)|*.c||" as Qt's name filters: "Name (*.a *.b)", "Other (*.c)": a
// pattern list in parentheses at the end of a name is replaced by the filter's own, so it does
// not show twice. "*.*" becomes "*", which in Qt also matches names without a dot. Incomplete
// pairs are dropped.
QStringList TranslateFileFilter(const std::string& filter);
