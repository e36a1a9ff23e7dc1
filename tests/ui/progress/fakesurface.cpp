#include "fakesurface.h"

#include <stdexcept>

namespace quorvex::testing {

namespace {

QString Number(double value) {
    return QString::number(value);
}

QString Hex(std::uint32_t value) {
    return QString::number(value, 16);
}

QString Truth(bool value) {
    return value ? "true" : "false";
}

}  // namespace

FakeSurface::FakeSurface(double width, double height) : width_(width), height_(height) {}

void FakeSurface::FailOn(const QString& operation, int times) {
    failures_[operation] = times;
}

void FakeSurface::Attempt(const QString& operation) const {
    const auto failure = failures_.find(operation);
    if (failure == failures_.end() || failure->second == 0) {
        return;
    }
    if (failure->second > 0) {
        --failure->second;
    }
    throw std::runtime_error(operation.toStdString() + " refused");
}

void FakeSurface::Record(const QString& operation, const QString& arguments) {
    Attempt(operation);
    calls_.append(arguments.isEmpty() ? operation : operation + " " + arguments);
}

void FakeSurface::SetAutoRedraw(bool autoRedraw) {
    Record("AutoRedraw", Truth(autoRedraw));
}

void FakeSurface::SetAutoSize(bool autoSize) {
    Record("AutoSize", Truth(autoSize));
}

void FakeSurface::ClearPicture() {
    Record("ClearPicture");
}

void FakeSurface::SetVisible(bool visible) {
    Record("Visible", Truth(visible));
}

double FakeSurface::ScaleWidth() const {
    Attempt("ScaleWidth");
    return width_;
}

double FakeSurface::ScaleHeight() const {
    Attempt("ScaleHeight");
    return height_;
}

void FakeSurface::FillBox(ScalePoint corner1, ScalePoint corner2, std::uint32_t colour) {
    Record("Fill", Number(corner1.x) + " " + Number(corner1.y) + " " + Number(corner2.x) + " " +
                       Number(corner2.y) + " " + Hex(colour));
}

double FakeSurface::TextWidth(const QString& text) const {
    Attempt("TextWidth");
    return kCharWidth * text.size();
}

double FakeSurface::TextHeight(const QString&) const {
    Attempt("TextHeight");
    return kTextHeight;
}

void FakeSurface::SetCurrentX(double x) {
    Record("CurrentX", Number(x));
}

void FakeSurface::SetCurrentY(double y) {
    Record("CurrentY", Number(y));
}

void FakeSurface::SetForeColor(std::uint32_t colour) {
    Record("ForeColor", Hex(colour));
}

void FakeSurface::Print(const QString& text) {
    Record("Print", text);
}

void FakeSurface::Refresh() {
    Record("Refresh");
}

}  // namespace quorvex::testing
