#include "settings/Examples.h"

#include "conversion/Escaping.h"
#include "settings/SettingsStore.h"

namespace ravolin {
namespace {

Document defaults() {
    Document document;
    loadSettingsBytes({}, document);
    return document;
}

// Rows of a table from a list of names: the names quoted as SQL strings, O'Brien's quote doubled.
Document sqlInsertRows() {
    Document d = defaults();
    d.window.templateText = "INSERT INTO users (id, name) VALUES (＜置換1＞, ＜配列1＞);";
    d.window.loopCount = 5;
    d.record.counters[0].initialValue = 1;
    d.record.arrays[0].valuesText = "佐藤 花子\r\n鈴木 一郎\r\n高橋 美咲\r\nO'Brien\r\n田中 健";
    d.record.arrays[0].style.escape = kEscapeSqlLiteral;
    return d;
}

// Names that sort as they count: three digits filled with zeros.
Document zeroPaddedNames() {
    Document d = defaults();
    d.window.templateText = "photo_＜置換1＞.jpg";
    d.window.loopCount = 12;
    d.record.counters[0].initialValue = 1;
    d.record.counters[0].style.width = 3;
    return d;
}

// List items whose texts may hold what HTML takes as markup.
Document htmlList() {
    Document d = defaults();
    d.window.templateText = "<li><a href=\"#item＜置換1＞\">＜配列1＞</a></li>";
    d.window.loopCount = 4;
    d.record.counters[0].initialValue = 1;
    d.record.arrays[0].valuesText = "はじめに\r\nQ&A\r\n<script> タグの書き方\r\nお問い合わせ";
    d.record.arrays[0].style.escape = kEscapeHtml;
    return d;
}

// A day on each business day from 2027/04/28, past the holidays of early May, with a second counter numbering
// them.
Document businessDays() {
    Document d = defaults();
    d.window.templateText = "＜置換1＞ 第＜置換2＞回 定例ミーティング";
    d.window.loopCount = 10;
    CounterStyle& date = d.record.counters[0].style;
    date.kind = kKindDate;
    date.start = "2027/04/28";
    date.unit = kUnitBusinessDay;
    date.pattern = "yyyy/mm/dd(aaa)";
    d.record.counters[1].initialValue = 1;
    return d;
}

}  // namespace

Document exampleDocument(std::size_t index) {
    switch (index) {
        case 0:
            return sqlInsertRows();
        case 1:
            return zeroPaddedNames();
        case 2:
            return htmlList();
        default:
            return businessDays();
    }
}

}  // namespace ravolin
