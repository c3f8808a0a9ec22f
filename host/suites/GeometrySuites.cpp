// Transform Art, Real Math and the Pathfinder effects.
#include <algorithm>
#include <cmath>

#include "host/geom/Unite.h"
#include "host/model/Geometry.h"
#include "host/model/Transform.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr TransformArtOperation(HostArt handle, const HostMatrix* matrix, double lineScale,
                              int32_t flags) {
    HOST_OPERATION("TransformArt");
    HOST_ART(art, handle);
    if (!matrix || !IsFinite(*matrix) || !std::isfinite(lineScale)) return kHostBadParameterErr;
    TransformArt(*art->document(), art, *matrix, lineScale, flags);
    return 0;
}

HostErr SetMatrixIdentity(HostMatrix* m) {
    HOST_OPERATION("SetMatrixIdentity");
    if (!m) return kHostBadParameterErr;
    *m = kIdentity;
    return 0;
}

HostErr SetMatrixTranslate(HostMatrix* m, double tx, double ty) {
    HOST_OPERATION("SetMatrixTranslate");
    if (!m) return kHostBadParameterErr;
    *m = Translation(tx, ty);
    return 0;
}

HostErr SetMatrixScale(HostMatrix* m, double sx, double sy) {
    HOST_OPERATION("SetMatrixScale");
    if (!m) return kHostBadParameterErr;
    *m = {sx, 0, 0, sy, 0, 0};
    return 0;
}

HostErr SetMatrixRotate(HostMatrix* m, double angle) {
    HOST_OPERATION("SetMatrixRotate");
    if (!m) return kHostBadParameterErr;
    *m = Rotation(angle);
    return 0;
}

HostErr MatrixConcat(const HostMatrix* a, const HostMatrix* b, HostMatrix* result) {
    HOST_OPERATION("MatrixConcat");
    if (!a || !b || !result) return kHostBadParameterErr;
    *result = Concat(*a, *b);
    return 0;
}

HostErr MatrixConcatTranslate(HostMatrix* m, double tx, double ty) {
    HOST_OPERATION("MatrixConcatTranslate");
    if (!m) return kHostBadParameterErr;
    *m = Concat(*m, Translation(tx, ty));
    return 0;
}

HostErr MatrixConcatRotate(HostMatrix* m, double angle) {
    HOST_OPERATION("MatrixConcatRotate");
    if (!m) return kHostBadParameterErr;
    *m = Concat(*m, Rotation(angle));
    return 0;
}

HostErr MatrixConcatScale(HostMatrix* m, double sx, double sy) {
    HOST_OPERATION("MatrixConcatScale");
    if (!m) return kHostBadParameterErr;
    *m = Concat(*m, HostMatrix{sx, 0, 0, sy, 0, 0});
    return 0;
}

HostErr MatrixInvert(const HostMatrix* m, HostMatrix* inverse) {
    HOST_OPERATION("MatrixInvert");
    if (!m || !inverse) return kHostBadParameterErr;
    return Invert(*m, inverse) ? 0 : kHostSingularMatrixErr;
}

// The angle by which the matrix turns the x axis.
HostErr MatrixGetRotation(const HostMatrix* m, double* angle) {
    HOST_OPERATION("MatrixGetRotation");
    if (!m || !angle) return kHostBadParameterErr;
    *angle = std::atan2(m->b, m->a);
    return 0;
}

HostErr TransformPoint(const HostMatrix* m, const HostPoint* p, HostPoint* result) {
    HOST_OPERATION("TransformPoint");
    if (!m || !p || !result) return kHostBadParameterErr;
    *result = Apply(*m, *p);
    return 0;
}

HostErr MatrixGetTranslate(const HostMatrix* m, double* tx, double* ty) {
    HOST_OPERATION("MatrixGetTranslate");
    if (!m || !tx || !ty) return kHostBadParameterErr;
    *tx = m->tx;
    *ty = m->ty;
    return 0;
}

HostErr UnionRect(const HostRect* a, const HostRect* b, HostRect* result) {
    HOST_OPERATION("UnionRect");
    if (!a || !b || !result) return kHostBadParameterErr;
    *result = {std::min(a->left, b->left), std::max(a->top, b->top), std::max(a->right, b->right),
               std::min(a->bottom, b->bottom)};
    return 0;
}

HostErr DoUniteEffect(HostPathfinderData* data, HostMessageData* message) {
    HOST_OPERATION("DoUniteEffect");
    HOST_DOCUMENT(document);
    if (!data || !message || message->checkWord != kHostMessageCheckWord ||
        !LoadedPlugin::FromRef(message->self))
        return kHostBadParameterErr;
    if (data->selectedArtCount < 1 || !data->selectedArt) return kHostBadParameterErr;
    std::vector<Art*> inputs;
    for (int32_t i = 0; i < data->selectedArtCount; ++i) {
        HOST_ART(art, data->selectedArt[i]);
        inputs.push_back(art);
    }
    return UniteArt(*document, inputs, nullptr);
}

HostErr UnsupportedEffect(HostPathfinderData*, HostMessageData*) { return kHostUnimplementedErr; }

}  // namespace

const HostTransformArtSuite& TransformArtSuite() {
    static const HostTransformArtSuite suite{TransformArtOperation};
    return suite;
}

const HostRealMathSuite& RealMathSuite() {
    static const HostRealMathSuite suite{
        SetMatrixIdentity,     SetMatrixTranslate, SetMatrixScale,    SetMatrixRotate,
        MatrixConcat,          MatrixConcatTranslate, MatrixConcatRotate, MatrixConcatScale,
        MatrixInvert,          MatrixGetRotation,  TransformPoint,    MatrixGetTranslate,
        UnionRect};
    return suite;
}

const HostPathfinderSuite& PathfinderSuite() {
    static const HostPathfinderSuite suite{DoUniteEffect, UnsupportedEffect, UnsupportedEffect,
                                           UnsupportedEffect, UnsupportedEffect};
    return suite;
}

}  // namespace orbalis::host
