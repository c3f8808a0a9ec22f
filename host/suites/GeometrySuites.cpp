// Transform Art, Real Math and the Pathfinder effects.
#include <algorithm>
#include <cmath>

#include "host/geom/Unite.h"
#include "host/model/Geometry.h"
#include "host/model/Transform.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr TransformArtOperation(Art& art, const HostMatrix& matrix, double lineScale, int32_t flags) {
    if (!IsFinite(matrix) || !std::isfinite(lineScale)) return kHostBadParameterErr;
    TransformArt(*art.document(), &art, matrix, lineScale, flags);
    return 0;
}

HostErr SetMatrixIdentity(HostMatrix& m) {
    m = kIdentity;
    return 0;
}

HostErr SetMatrixTranslate(HostMatrix& m, double tx, double ty) {
    m = Translation(tx, ty);
    return 0;
}

HostErr SetMatrixScale(HostMatrix& m, double sx, double sy) {
    m = {sx, 0, 0, sy, 0, 0};
    return 0;
}

HostErr SetMatrixRotate(HostMatrix& m, double angle) {
    m = Rotation(angle);
    return 0;
}

HostErr MatrixConcat(const HostMatrix& a, const HostMatrix& b, HostMatrix& result) {
    result = Concat(a, b);
    return 0;
}

HostErr MatrixConcatTranslate(HostMatrix& m, double tx, double ty) {
    m = Concat(m, Translation(tx, ty));
    return 0;
}

HostErr MatrixConcatRotate(HostMatrix& m, double angle) {
    m = Concat(m, Rotation(angle));
    return 0;
}

HostErr MatrixConcatScale(HostMatrix& m, double sx, double sy) {
    m = Concat(m, HostMatrix{sx, 0, 0, sy, 0, 0});
    return 0;
}

HostErr MatrixInvert(const HostMatrix& m, HostMatrix& inverse) {
    return Invert(m, &inverse) ? 0 : kHostSingularMatrixErr;
}

// The angle by which the matrix turns the x axis.
HostErr MatrixGetRotation(const HostMatrix& m, double& angle) {
    angle = std::atan2(m.b, m.a);
    return 0;
}

HostErr TransformPoint(const HostMatrix& m, const HostPoint& p, HostPoint& result) {
    result = Apply(m, p);
    return 0;
}

HostErr MatrixGetTranslate(const HostMatrix& m, double& tx, double& ty) {
    tx = m.tx;
    ty = m.ty;
    return 0;
}

HostErr UnionRect(const HostRect& a, const HostRect& b, HostRect& result) {
    result = {std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    return 0;
}

HostErr DoUniteEffect(Document& document, HostPathfinderData* data, HostMessageData* message) {
    if (!data || !message || message->checkWord != kHostMessageCheckWord || !LoadedPlugin::FromRef(message->self))
        return kHostBadParameterErr;
    if (data->selectedArtCount < 1 || !data->selectedArt) return kHostBadParameterErr;
    std::vector<Art*> inputs;
    for (int32_t i = 0; i < data->selectedArtCount; ++i) {
        Art* art = Document::fromHandle(data->selectedArt[i]);
        if (!art) return kHostBadParameterErr;
        inputs.push_back(art);
    }
    return UniteArt(document, inputs, nullptr);
}

HostErr UnsupportedEffect(HostPathfinderData*, HostMessageData*) { return kHostUnimplementedErr; }

}  // namespace

const HostTransformArtSuite& TransformArtSuite() {
    return SuiteTable<HostTransformArtSuite, Named<"TransformArt", TransformArtOperation>>;
}

const HostRealMathSuite& RealMathSuite() {
    return SuiteTable<HostRealMathSuite, SetMatrixIdentity, SetMatrixTranslate, SetMatrixScale, SetMatrixRotate,
                      MatrixConcat, MatrixConcatTranslate, MatrixConcatRotate, MatrixConcatScale, MatrixInvert,
                      MatrixGetRotation, TransformPoint, MatrixGetTranslate, UnionRect>;
}

// The effects other than unite are not served; they count no calls.
const HostPathfinderSuite& PathfinderSuite() {
    return SuiteTable<HostPathfinderSuite, DoUniteEffect, Unserved<UnsupportedEffect>, Unserved<UnsupportedEffect>,
                      Unserved<UnsupportedEffect>, Unserved<UnsupportedEffect>>;
}

}  // namespace orbalis::host
