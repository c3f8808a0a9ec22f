#include "host/io/svg/SvgCss.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgStyle.h"
#include "host/io/svg/SvgTree.h"

namespace orbalis::host::svg {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsNameChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' || c == '_' ||
           u >= 0x80;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string WithoutComments(std::string_view css) {
    std::string out;
    out.reserve(css.size());
    for (size_t i = 0; i < css.size(); ++i) {
        if (css[i] == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const size_t end = css.find("*/", i + 2);
            if (end == std::string_view::npos) break;
            i = end + 1;
            out.push_back(' ');
            continue;
        }
        out.push_back(css[i]);
    }
    return out;
}

// The end of a block opened at `open` (the index after its '}'), skipping
// nested blocks and strings; the text's end when it is not closed.
size_t BlockEnd(std::string_view text, size_t open) {
    int depth = 0;
    char quote = 0;
    for (size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == '\\')
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

// Reads a name (identifier) at `i`; empty when there is none.
std::string Name(std::string_view text, size_t& i) {
    const size_t start = i;
    while (i < text.size() && (IsNameChar(text[i]) || (text[i] == '\\' && i + 1 < text.size()))) {
        if (text[i] == '\\') ++i;
        ++i;
    }
    std::string out;
    for (size_t k = start; k < i; ++k)
        if (text[k] != '\\') out.push_back(text[k]);
    return out;
}

}  // namespace

std::vector<CssDeclaration> ParseCssDeclarations(std::string_view text) {
    std::vector<CssDeclaration> out;
    for (std::string_view item : SplitDeclarations(text)) {
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos) continue;
        CssDeclaration d;
        d.property = Lower(Trim(item.substr(0, colon)));
        std::string_view value = Trim(item.substr(colon + 1));
        if (const size_t bang = value.rfind('!');
            bang != std::string_view::npos && Lower(Trim(value.substr(bang + 1))) == "important") {
            d.important = true;
            value = Trim(value.substr(0, bang));
        }
        d.value = std::string(value);
        if (!d.property.empty() && !d.value.empty()) out.push_back(std::move(d));
    }
    return out;
}

namespace {

// Parses one selector (no commas) into compounds right to left; false for a
// selector of a kind not matched here.
bool ParseSelector(std::string_view text, std::vector<StyleSheet::Compound>* compounds, std::vector<char>* combinators,
                   unsigned* specificity) {
    std::vector<StyleSheet::Compound> left;  // left to right while reading
    std::vector<char> between;
    unsigned ids = 0, classes = 0, types = 0;
    size_t i = 0;
    char pending = 0;  // combinator before the next compound
    while (true) {
        bool space = false;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
            space = true;
        }
        if (i >= text.size()) break;
        if (text[i] == '>' || text[i] == '+' || text[i] == '~') {
            if (left.empty() || (pending && pending != ' ')) return false;
            pending = text[i++];
            continue;
        }
        if (space && !left.empty() && !pending) pending = ' ';
        if (!left.empty() && !pending) return false;
        StyleSheet::Compound compound;
        bool any = false;
        if (text[i] == '*') {
            compound.type = "*";
            ++i;
            any = true;
        } else if (IsNameChar(text[i])) {
            compound.type = Name(text, i);
            ++types;
            any = true;
        }
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '+' && text[i] != '~') {
            const char c = text[i++];
            if (c == '#' || c == '.') {
                std::string name = Name(text, i);
                if (name.empty()) return false;
                compound.tests.push_back({c == '#' ? "id" : "class", c == '#' ? '=' : '~', std::move(name)});
                (c == '#' ? ids : classes)++;
            } else if (c == '[') {
                while (i < text.size() && IsSpace(text[i])) ++i;
                StyleSheet::Compound::Test test;
                test.name = Name(text, i);
                if (test.name.empty()) return false;
                while (i < text.size() && IsSpace(text[i])) ++i;
                if (i < text.size() && std::strchr("~|^$*", text[i]) && i + 1 < text.size() && text[i + 1] == '=') {
                    test.op = text[i];
                    i += 2;
                } else if (i < text.size() && text[i] == '=') {
                    test.op = '=';
                    ++i;
                }
                if (test.op) {
                    while (i < text.size() && IsSpace(text[i])) ++i;
                    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                        const char q = text[i++];
                        const size_t end = text.find(q, i);
                        if (end == std::string_view::npos) return false;
                        test.value = std::string(text.substr(i, end - i));
                        i = end + 1;
                    } else {
                        test.value = Name(text, i);
                    }
                    while (i < text.size() && IsSpace(text[i])) ++i;
                }
                if (i >= text.size() || text[i] != ']') return false;
                ++i;
                compound.tests.push_back(std::move(test));
                ++classes;
            } else if (c == ':') {
                const std::string pseudo = Lower(Name(text, i));
                if (pseudo == "first-child")
                    compound.firstChild = true;
                else if (pseudo == "last-child")
                    compound.lastChild = true;
                else
                    return false;
                ++classes;
            } else {
                return false;
            }
            any = true;
        }
        if (!any) return false;
        if (!left.empty()) between.push_back(pending);
        pending = 0;
        left.push_back(std::move(compound));
    }
    if (left.empty() || pending) return false;
    std::reverse(left.begin(), left.end());
    std::reverse(between.begin(), between.end());
    *compounds = std::move(left);
    *combinators = std::move(between);
    *specificity = std::min(ids, 255u) << 16 | std::min(classes, 255u) << 8 | std::min(types, 255u);
    return true;
}

using NameOf = std::function<std::string_view(pugi::xml_node)>;

pugi::xml_node PreviousElement(pugi::xml_node n) {
    for (n = n.previous_sibling(); n && n.type() != pugi::node_element; n = n.previous_sibling()) {}
    return n;
}

pugi::xml_node NextElement(pugi::xml_node n) {
    for (n = n.next_sibling(); n && n.type() != pugi::node_element; n = n.next_sibling()) {}
    return n;
}

bool Matches(const StyleSheet::Compound& c, pugi::xml_node el, const NameOf& svgName) {
    if (!c.type.empty() && c.type != "*" && svgName(el) != c.type) return false;
    if (c.firstChild && PreviousElement(el)) return false;
    if (c.lastChild && NextElement(el)) return false;
    for (const auto& test : c.tests) {
        const pugi::xml_attribute a = el.attribute(test.name.c_str());
        if (!a) return false;
        const std::string_view v = a.value(), want = test.value;
        switch (test.op) {
        case 0: break;
        case '=':
            if (v != want) return false;
            break;
        case '~': {
            bool found = false;
            size_t k = 0;
            while (k < v.size() && !found) {
                while (k < v.size() && IsSpace(v[k])) ++k;
                const size_t start = k;
                while (k < v.size() && !IsSpace(v[k])) ++k;
                found = k > start && v.substr(start, k - start) == want;
            }
            if (!found) return false;
            break;
        }
        case '|':
            if (!(v == want || (v.size() > want.size() && v.substr(0, want.size()) == want && v[want.size()] == '-')))
                return false;
            break;
        case '^':
            if (want.empty() || v.substr(0, want.size()) != want) return false;
            break;
        case '$':
            if (want.empty() || v.size() < want.size() || v.substr(v.size() - want.size()) != want) return false;
            break;
        case '*':
            if (want.empty() || v.find(want) == std::string_view::npos) return false;
            break;
        }
    }
    return true;
}

// Whether compounds[k..] match `el` and the elements the combinators lead to.
bool MatchesFrom(const std::vector<StyleSheet::Compound>& compounds, const std::vector<char>& combinators, size_t k,
                 pugi::xml_node el, const NameOf& svgName) {
    if (!Matches(compounds[k], el, svgName)) return false;
    if (k + 1 == compounds.size()) return true;
    auto parentElement = [](pugi::xml_node n) {
        n = n.parent();
        return n && n.type() == pugi::node_element ? n : pugi::xml_node();
    };
    switch (combinators[k]) {
    case '>': {
        const pugi::xml_node p = parentElement(el);
        return p && MatchesFrom(compounds, combinators, k + 1, p, svgName);
    }
    case '+': {
        const pugi::xml_node p = PreviousElement(el);
        return p && MatchesFrom(compounds, combinators, k + 1, p, svgName);
    }
    case '~':
        for (pugi::xml_node p = PreviousElement(el); p; p = PreviousElement(p))
            if (MatchesFrom(compounds, combinators, k + 1, p, svgName)) return true;
        return false;
    default:
        for (pugi::xml_node p = parentElement(el); p; p = parentElement(p))
            if (MatchesFrom(compounds, combinators, k + 1, p, svgName)) return true;
        return false;
    }
}

}  // namespace

void StyleSheet::add(std::string_view input, std::string* unapplied) {
    const std::string css = WithoutComments(input);
    const std::string_view text = css;
    size_t i = 0;
    auto keep = [&](std::string_view part) {
        if (Trim(part).empty()) return;
        if (!unapplied->empty()) unapplied->push_back('\n');
        unapplied->append(Trim(part));
    };
    while (i < text.size()) {
        while (i < text.size() && (IsSpace(text[i]) || text[i] == ';')) ++i;
        if (i >= text.size()) break;
        if (text[i] == '@') {
            // At-rules (@import, @media, @font-face) are left to the renderer.
            const size_t semicolon = text.find(';', i), brace = text.find('{', i);
            size_t end;
            if (brace != std::string_view::npos && (semicolon == std::string_view::npos || brace < semicolon))
                end = BlockEnd(text, brace);
            else
                end = semicolon == std::string_view::npos ? text.size() : semicolon + 1;
            keep(text.substr(i, end - i));
            i = end;
            continue;
        }
        const size_t brace = text.find('{', i);
        if (brace == std::string_view::npos) break;  // a selector without a body: nothing to apply
        const size_t end = BlockEnd(text, brace);
        const std::string_view prelude = text.substr(i, brace - i);
        const std::string_view body = text.substr(brace + 1, end - brace - 1 - (text[end - 1] == '}' ? 1 : 0));
        std::vector<Rule> parsed;
        bool supported = true;
        size_t start = 0;
        while (supported && start <= prelude.size()) {
            size_t comma = prelude.find(',', start);
            if (comma == std::string_view::npos) comma = prelude.size();
            Rule rule;
            supported = ParseSelector(prelude.substr(start, comma - start), &rule.compounds, &rule.combinators,
                                      &rule.specificity);
            parsed.push_back(std::move(rule));
            start = comma + 1;
        }
        if (!supported) {
            keep(text.substr(i, end - i));
        } else {
            const std::vector<CssDeclaration> declarations = ParseCssDeclarations(body);
            for (Rule& rule : parsed) {
                rule.order = rules_.size();
                rule.declarations = declarations;
                rules_.push_back(std::move(rule));
            }
        }
        i = end;
    }
}

std::vector<CssDeclaration> StyleSheet::match(pugi::xml_node element, const NameOf& svgName) const {
    std::vector<const Rule*> matched;
    for (const Rule& rule : rules_)
        if (MatchesFrom(rule.compounds, rule.combinators, 0, element, svgName)) matched.push_back(&rule);
    std::stable_sort(matched.begin(), matched.end(), [](const Rule* a, const Rule* b) {
        return a->specificity != b->specificity ? a->specificity < b->specificity : a->order < b->order;
    });
    std::vector<CssDeclaration> out;
    for (const Rule* rule : matched) out.insert(out.end(), rule->declarations.begin(), rule->declarations.end());
    return out;
}

void InlineStyleSheets(pugi::xml_node root, const NameOf& svgName) {
    std::vector<pugi::xml_node> elements;  // in document order
    ForEachElement(root, [&](pugi::xml_node el, int) { elements.push_back(el); });

    StyleSheet sheet;
    std::vector<std::pair<pugi::xml_node, std::string>> styles;  // each sheet and what it keeps
    for (pugi::xml_node el : elements) {
        if (svgName(el) != "style") continue;
        const std::string type = Lower(Trim(el.attribute("type").value()));
        if (!type.empty() && type != "text/css") continue;
        std::string css;
        for (pugi::xml_node c : el.children())
            if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) css += c.value();
        std::string unapplied;
        sheet.add(css, &unapplied);
        if (Trim(unapplied) != Trim(WithoutComments(css))) styles.emplace_back(el, std::move(unapplied));
    }
    if (sheet.empty()) return;

    for (pugi::xml_node el : elements) {
        const std::vector<CssDeclaration> matched = sheet.match(el, svgName);
        if (matched.empty()) continue;
        pugi::xml_attribute style = el.attribute("style");
        const std::vector<CssDeclaration> own = ParseCssDeclarations(style.value());
        // Sheet, then the element's own style; important declarations last,
        // the element's again over the sheet's.
        std::vector<std::pair<std::string, std::string>> winners;
        auto set = [&](const CssDeclaration& d) {
            for (auto& [name, value] : winners)
                if (name == d.property) {
                    value = d.value;
                    return;
                }
            winners.emplace_back(d.property, d.value);
        };
        for (bool important : {false, true}) {
            for (const CssDeclaration& d : matched)
                if (d.important == important) set(d);
            for (const CssDeclaration& d : own)
                if (d.important == important) set(d);
        }
        std::string text;
        for (const auto& [name, value] : winners) text += (text.empty() ? "" : ";") + name + ":" + value;
        if (!style) style = el.append_attribute("style");
        style.set_value(text.c_str());
    }

    // Last first: a style sheet inside another is dealt with before the outer
    // one removes or replaces it with the rest of its content.
    for (auto it = styles.rbegin(); it != styles.rend(); ++it) {
        auto& [el, unapplied] = *it;
        if (Trim(unapplied).empty()) {
            el.parent().remove_child(el);
            continue;
        }
        while (el.first_child()) el.remove_child(el.first_child());
        el.append_child(pugi::node_pcdata).set_value(unapplied.c_str());
    }
}

}  // namespace orbalis::host::svg
