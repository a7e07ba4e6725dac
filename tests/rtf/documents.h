// Helpers that load a stream into a fresh document and look at the result.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

#include <memory>
#include <string>

#include "richtextfile.h"

namespace zk::testing {

inline std::unique_ptr<QTextDocument> Load(const std::string& bytes) {
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText("RichEdit1");
    LoadRichText(*document, bytes);
    return document;
}

// The text of every paragraph, in order; line breaks inside a paragraph as U+2028.
inline QStringList Paragraphs(const QTextDocument& document) {
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        paragraphs << block.text();
    }
    return paragraphs;
}

inline QString Text(const std::string& bytes) {
    return Paragraphs(*Load(bytes)).join(u'\n');
}

// The character format of the fragment that holds `needle`; an invalid format when none does.
inline QTextCharFormat FormatOf(const QTextDocument& document, const QString& needle) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(needle)) {
                return it.fragment().charFormat();
            }
        }
    }
    return {};
}

}  // namespace zk::testing

// Readable failure messages for QString comparisons.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(" | ").toStdString() << ']';
}
