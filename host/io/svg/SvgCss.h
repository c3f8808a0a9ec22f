// CSS style sheets of `<style>` elements: rules parsed, their selectors
// matched against the element tree, and the cascade resolved into each
// element's `style` attribute, so that the rest of the importer reads one
// place for every element's declarations.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace orbalis::host::svg {

struct CssDeclaration {
    std::string property;  // lower case
    std::string value;
    bool important = false;
};

// Parses declarations "a: b; c: d !important" (a `style` attribute or the
// body of a rule).
std::vector<CssDeclaration> ParseCssDeclarations(std::string_view text);

class StyleSheet {
public:
    // Adds the rules of one sheet, after those added before. What cannot be
    // applied (at-rules, selectors of kinds not matched here) is collected
    // verbatim in `unapplied`.
    void add(std::string_view css, std::string* unapplied);
    bool empty() const { return rules_.empty(); }

    // The declarations the sheet gives `element`, in cascade order: a later
    // one wins over an earlier one of the same importance.
    std::vector<CssDeclaration> match(pugi::xml_node element,
                                      const std::function<std::string_view(pugi::xml_node)>& svgName) const;

    struct Compound;

private:
    struct Rule {
        std::vector<Compound> compounds;  // right to left
        std::vector<char> combinators;    // between compounds[i] and [i+1]: ' ', '>', '+', '~'
        unsigned specificity = 0;
        size_t order = 0;
        std::vector<CssDeclaration> declarations;
    };
    std::vector<Rule> rules_;
};

struct StyleSheet::Compound {
    std::string type;  // empty or "*": any
    struct Test {
        std::string name;
        char op = 0;  // 0 present, '=', '~', '|', '^', '$', '*'
        std::string value;
    };
    std::vector<Test> tests;  // id and class are attribute tests
    bool firstChild = false;
    bool lastChild = false;
};

// Applies every `<style>` sheet of the document (type text/css or none) to
// its elements: each element's `style` attribute receives the declarations
// that win the cascade over it, the sheet's rules are then removed, and a
// `<style>` is kept only with what could not be applied.
// `svgName` gives an element's SVG name (empty for other namespaces).
void InlineStyleSheets(pugi::xml_node root, const std::function<std::string_view(pugi::xml_node)>& svgName);

}  // namespace orbalis::host::svg
