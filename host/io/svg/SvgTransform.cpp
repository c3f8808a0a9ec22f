#include "host/io/svg/SvgTransform.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "host/io/svg/SvgNumbers.h"
#include "host/model/Geometry.h"

namespace orbalis::host::svg {

bool ParseTransform(std::string_view text, HostMatrix* matrix) {
    NumberCursor cursor(text);
    HostMatrix total = kIdentity;
    cursor.skipSpace();
    while (!cursor.atEnd()) {
        std::string name;
        while (!cursor.atEnd() && std::isalpha(static_cast<unsigned char>(cursor.peek()))) {
            name.push_back(cursor.peek());
            cursor.advance();
        }
        cursor.skipSpace();
        if (name.empty() || cursor.peek() != '(') return false;
        cursor.advance();
        double a[6];
        int n = 0;
        cursor.skipSpace();
        while (cursor.peek() != ')') {
            const char* error;
            if (n == 6 || !cursor.number(&a[n++], &error)) return false;
            cursor.skipSeparator();
        }
        cursor.advance();
        HostMatrix item{};
        const double rad = std::numbers::pi / 180;
        if (name == "matrix" && n == 6) {
            item = {a[0], a[1], a[2], a[3], a[4], a[5]};
        } else if (name == "translate" && (n == 1 || n == 2)) {
            item = Translation(a[0], n == 2 ? a[1] : 0);
        } else if (name == "scale" && (n == 1 || n == 2)) {
            item = {a[0], 0, 0, n == 2 ? a[1] : a[0], 0, 0};
        } else if (name == "rotate" && (n == 1 || n == 3)) {
            item = Rotation(a[0] * rad);
            if (n == 3) item = Concat(Concat(Translation(-a[1], -a[2]), item), Translation(a[1], a[2]));
        } else if (name == "skewX" && n == 1) {
            item = {1, 0, std::tan(a[0] * rad), 1, 0, 0};
        } else if (name == "skewY" && n == 1) {
            item = {1, std::tan(a[0] * rad), 0, 1, 0, 0};
        } else {
            return false;
        }
        total = Concat(item, total);
        cursor.skipSeparator();
    }
    for (double v : {total.a, total.b, total.c, total.d, total.tx, total.ty})
        if (!std::isfinite(v)) return false;
    *matrix = total;
    return true;
}

std::string FormatTransform(const HostMatrix& m) {
    if (IsTranslation(m)) return "translate(" + FormatCoordinate(m.tx) + " " + FormatCoordinate(m.ty) + ")";
    return "matrix(" + FormatExact(m.a) + " " + FormatExact(m.b) + " " + FormatExact(m.c) + " " + FormatExact(m.d) +
           " " + FormatCoordinate(m.tx) + " " + FormatCoordinate(m.ty) + ")";
}

bool ParseViewBox(std::string_view text, ViewBox* box) {
    NumberCursor cursor(text);
    double v[4];
    cursor.skipSpace();
    for (double& x : v) {
        const char* error;
        if (!cursor.number(&x, &error)) return false;
        cursor.skipSeparator();
    }
    if (!cursor.atEnd() || !(v[2] > 0) || !(v[3] > 0)) return false;
    *box = {v[0], v[1], v[2], v[3]};
    return true;
}

bool ViewBoxTransform(const ViewBox& box, double width, double height, std::string_view aspect, HostMatrix* matrix) {
    std::string_view text = Trim(aspect);
    if (text.substr(0, 5) == "defer") text = Trim(text.substr(5));
    std::string_view align = text, mode;
    if (const size_t space = text.find_first_of(" \t\r\n"); space != std::string_view::npos) {
        align = text.substr(0, space);
        mode = Trim(text.substr(space));
    }
    if (align.empty()) align = "xMidYMid";
    if (!mode.empty() && mode != "meet" && mode != "slice") return false;
    double sx = width / box.width, sy = height / box.height;
    double fx = 0.5, fy = 0.5;  // where the box sits in the spare room
    if (align == "none") {
        fx = fy = 0;
    } else {
        if (align.size() != 8 || align[0] != 'x' || align[4] != 'Y') return false;
        auto fraction = [](std::string_view part, double* f) {
            if (part == "Min")
                *f = 0;
            else if (part == "Mid")
                *f = 0.5;
            else if (part == "Max")
                *f = 1;
            else
                return false;
            return true;
        };
        if (!fraction(align.substr(1, 3), &fx) || !fraction(align.substr(5, 3), &fy)) return false;
        sx = sy = mode == "slice" ? std::max(sx, sy) : std::min(sx, sy);
    }
    const double tx = (width - box.width * sx) * fx - box.x * sx;
    const double ty = (height - box.height * sy) * fy - box.y * sy;
    *matrix = {sx, 0, 0, sy, tx, ty};
    return std::isfinite(sx) && std::isfinite(sy) && std::isfinite(tx) && std::isfinite(ty);
}

}  // namespace orbalis::host::svg
