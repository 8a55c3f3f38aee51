#pragma once

#include <cstddef>
#include <string>

// A spreadsheet's CSV export of a staff list: a header, then `rows` rows of five columns (a number, a Japanese
// name, an address quoted for its comma, a note some of whose cells quote a quote, an amount), about 200 bytes
// a row.
inline std::string staffCsv(std::size_t rows) {
    static const char* const kFamily[] = {"田中", "鈴木", "佐藤", "高橋", "渡辺", "伊藤", "山本", "中村"};
    static const char* const kGiven[] = {"太郎", "花子", "一郎", "美咲", "健太", "さくら", "翔", "陽菜"};
    static const char* const kCity[] = {"東京都千代田区", "大阪府大阪市北区", "愛知県名古屋市中区",
                                        "福岡県福岡市博多区"};
    std::string text = "社員番号,氏名,住所,備考,金額\r\n";
    text.reserve(rows * 210);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string n = std::to_string(r);
        text += std::to_string(100000 + r) + ',';
        text += std::string(kFamily[r % 8]) + ' ' + kGiven[(r / 8) % 8] + ',';
        text += '"' + std::string(kCity[r % 4]) + "丸の内センタービル" + n + "号室, " + std::to_string(r % 30 + 1) +
                "階\",";
        if (r % 5 == 0) {
            text += "\"O'Brien 様の件: \"\"至急\"\" と記載, 確認済み (" + n + ")\",";
        } else {
            text += "定期の連絡事項なし 担当者確認済み 次回の面談は来月の予定です (" + n + "),";
        }
        text += std::to_string(r * 37 % 1000000) + '.' + std::to_string(r % 100) + "\r\n";
    }
    return text;
}
