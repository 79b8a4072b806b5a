#include "service/endpoints/Pages.h"

#include "service/wire/ShiftJis.h"

namespace service
{

namespace
{

std::string page(const std::string &title, const std::string &body, const char *charset = "UTF-8")
{
    return std::string("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"") + charset +
           "\">\n<title>" + htmlEscape(title) +
           " - ルミナード</title>\n<style>\nbody{font-family:sans-serif;margin:2em;}\n"
           "table{border-collapse:collapse;}td,th{border:1px solid #ccc;padding:6px;}\n"
           "img.picture{max-width:160px;max-height:160px;}\n.note{color:#a00;}\n</style>\n"
           "</head>\n<body>\n<h1>" +
           htmlEscape(title) + "</h1>\n" + body + "</body>\n</html>\n";
}

const char *sizeLabel(const std::string &size)
{
    if (size == "L")
        return "L判 (89×127mm)";
    if (size == "2L")
        return "2L判 (127×178mm)";
    if (size == "KG")
        return "KG判 (102×152mm)";
    if (size == "A4")
        return "A4 (210×297mm)";
    return "";
}

} // namespace

std::string htmlEscape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string orderPage(const std::optional<Session> &session, const std::vector<Picture> &order,
                      const std::string &note, const std::string &member)
{
    // The service's pages speak Shift-JIS, so its forms come back in it, as the program's
    // own requests do.
    auto orderPageOf = [](const std::string &body) {
        return toShiftJis(page("ご注文", body, "Shift_JIS"));
    };
    if (!session)
        return orderPageOf("<p class=\"note\">ご注文が見つかりませんでした。ソフトから写真を"
                           "送信してから、もう一度このページを開いてください。</p>\n");
    std::string sid = htmlEscape(session->sid);
    std::string body;
    if (!note.empty())
        body += "<p class=\"note\">" + htmlEscape(note) + "</p>\n";
    body += member;
    if (order.empty()) {
        body += "<p id=\"empty\">まだ写真が追加されていません。</p>\n";
        return orderPageOf(body);
    }
    body += "<p>プリントのサイズと枚数を選んでください。</p>\n"
            "<form method=\"post\" action=\"/wis/order.php\" accept-charset=\"Shift_JIS\">\n"
            "<input type=\"hidden\" name=\"mode\" value=\"update\">\n"
            "<input type=\"hidden\" name=\"sid\" value=\"" +
            sid +
            "\">\n<table>\n<tr><th>写真</th><th>ファイル名</th><th>サイズ</th><th>枚数</th></tr>\n";
    int total = 0;
    for (const Picture &p : order) {
        std::string id = std::to_string(p.id);
        total += p.quantity;
        body += "<tr class=\"order-item\" data-id=\"" + id +
                "\">\n<td><img class=\"picture\" loading=\"lazy\" src=\"/wis/order_image.php?sid=" +
                sid + "&amp;id=" + id + "\" alt=\"" + htmlEscape(p.name) + "\"></td>\n<td>" +
                htmlEscape(p.name) + "</td>\n<td><select name=\"size_" + id + "\">";
        for (int i = 0; i < kPrintSizeCount; ++i) {
            std::string s = kPrintSizes[i];
            body += "<option value=\"" + s + "\"" + (s == p.printSize ? " selected" : "") + ">" +
                    sizeLabel(s) + "</option>";
        }
        body += "</select></td>\n<td><input type=\"number\" name=\"qty_" + id +
                "\" min=\"1\" max=\"99\" value=\"" + std::to_string(p.quantity) +
                "\"></td>\n</tr>\n";
    }
    body += "</table>\n<p>写真 " + std::to_string(order.size()) + " 点、合計 " +
            std::to_string(total) +
            " 枚</p>\n<p><button type=\"submit\">注文内容を保存</button></p>\n</form>\n";
    return orderPageOf(body);
}

std::string helpPage()
{
    return page("ご注文の手順",
                "<h2 id=\"0001\">1. 写真を選ぶ</h2>\n<p>ソフトでパソコンのフォルダを選び、"
                "プリントしたい写真を選択します。</p>\n"
                "<h2 id=\"0002\">2. 写真を送る</h2>\n<p>「プリントに追加」で写真を送信します。"
                "一度に最高3,000枚までご注文頂けます。</p>\n"
                "<h2 id=\"0003\">3. 注文ページを開く</h2>\n<p>「注文」タブから注文ページを開き、"
                "サイズと枚数を選んでください。</p>\n");
}

std::string downloadPage()
{
    return page("ソフトのダウンロード",
                "<p>ルミナードの最新版はこちらからダウンロードできます。</p>\n"
                "<p>Linux 版 (Debian 12): ソースから組み立ててお使いください。</p>\n");
}

std::string indexPage()
{
    return page("ルミナード", "<ul>\n<li><a href=\"/order_help.php\">ご注文の手順</a></li>\n"
                              "<li><a href=\"/download.php\">ダウンロード</a></li>\n</ul>\n");
}

} // namespace service
