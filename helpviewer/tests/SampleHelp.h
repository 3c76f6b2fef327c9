// SPDX-License-Identifier: MIT
// A help set shaped like the program's own (six topics, an untitled contents file in code page 1251, a
// section "RiskChart" far down the Kelly topic that the index names), made by the tests so that they do not
// depend on the help build.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace brelmont::testing {

inline const QStringList kSampleTitles = {QStringLiteral("О программе"),
                                          QStringLiteral("Лицензия"),
                                          QStringLiteral("Использование программы"),
                                          QStringLiteral("Описание кнопок программы"),
                                          QStringLiteral("Критерий Келли"),
                                          QStringLiteral("Наши разработки")};

QByteArray EncodeCp1251(const QString& text);
// The contents file exactly as the program ships it.
QByteArray SampleContents();
// Writes help.hlp, help.GID, help.cnt and 1.GID into `folder`.
void WriteSampleHelp(const QString& folder);

} // namespace brelmont::testing
