#include "platform/media/effects/EffectTable.h"

#include <algorithm>
#include <cstdio>
#include <cmath>

#include "platform/media/AtomContainer.h"

namespace {

// Transitions used as filters show their early state.
constexpr int kTransitionTenths = 1;

// Numbers for graph text. FFmpeg parses decimals with strtod, which follows
// the process locale, so fractions are written as integer ratios.
std::string Int(long long v) { return std::to_string(v); }
std::string Ratio(double v) {
    return Int(std::llround(v * 10000)) + "/10000";
}

// Part of a dimension covered at the transition's point: at least one pixel.
int Covered(int size) { return std::clamp((size * kTransitionTenths + 5) / 10, 1, size); }

std::string Size(int w, int h) { return Int(w) + "x" + Int(h); }

// The same expression for the three colour channels of lutrgb.
std::string LutRGB(const std::string& expr) {
    return "lutrgb=r='" + expr + "':g='" + expr + "':b='" + expr + "'";
}

// One 3x3 kernel for every plane of a planar RGB frame.
std::string Convolution(const std::string& matrix, const std::string& rdiv, int bias) {
    std::string out = "format=gbrp,convolution=";
    for (int plane = 0; plane < 3; ++plane) {
        if (plane) out += ":";
        const std::string p = Int(plane);
        out += p + "m='" + matrix + "':" + p + "rdiv=" + rdiv + ":" + p + "bias=" + Int(bias);
    }
    return out;
}

// Rows of a colour mixer: out = m[row][0] * r + m[row][1] * g + m[row][2] * b.
std::string ChannelMixer(const double m[3][3]) {
    static const char* names[3][3] = {{"rr", "rg", "rb"}, {"gr", "gg", "gb"}, {"br", "bg", "bb"}};
    std::string out = "colorchannelmixer=";
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            if (r || c) out += ":";
            out += std::string(names[r][c]) + "=" + Ratio(m[r][c]);
        }
    return out;
}

struct Box {
    int x, y, w, h;
};

// Shows the second source inside each box over the first.
std::string ShowSecondSourceIn(const std::vector<Box>& boxes) {
    std::string out = "[a]format=gbrp[base0];[b]format=gbrp,split=" + Int(int(boxes.size()));
    for (size_t i = 0; i < boxes.size(); ++i) out += "[b" + Int(int(i)) + "]";
    out += ";";
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& r = boxes[i];
        const std::string n = Int(int(i));
        const std::string next = i + 1 == boxes.size() ? "[out]" : "[base" + Int(int(i + 1)) + "];";
        out += "[b" + n + "]crop=" + Int(r.w) + ":" + Int(r.h) + ":" + Int(r.x) + ":" + Int(r.y) + "[c" + n +
               "];[base" + n + "][c" + n + "]overlay=x=" + Int(r.x) + ":y=" + Int(r.y) +
               ":format=gbrp:eof_action=repeat" + next;
    }
    return out;
}

// A neighbourhood filter chain from [a] to [out]. The kernel filters
// misbehave on frames a few pixels across, so those are enlarged for the
// filter and shrunk back.
std::string Neighbourhood(const std::string& chain, int w, int h) {
    constexpr int kSmallest = 8;
    if (w >= kSmallest && h >= kSmallest) return "[a]" + chain + "[out]";
    return "[a]scale=" + Int(std::max(w, kSmallest)) + ":" + Int(std::max(h, kSmallest)) + ":flags=neighbor," + chain +
           ",scale=" + Int(w) + ":" + Int(h) + ":flags=neighbor[out]";
}

// --- graph builders ----------------------------------------------------

std::string BlurGraph(const EffectValues& v, int w, int h) {
    return Neighbourhood("format=gbrp,gblur=sigma=" + Ratio(0.8 * v[0]), w, h);
}

std::string SharpenGraph(const EffectValues& v, int w, int h) {
    const int k = 2 * v[0];  // a fifth of the Laplacian per unit
    const std::string n = Int(-k);
    return Neighbourhood(
        Convolution("0 " + n + " 0 " + n + " " + Int(10 + 4 * k) + " " + n + " 0 " + n + " 0", "1/10", 0), w, h);
}

std::string EdgeGraph(const EffectValues&, int w, int h) { return Neighbourhood("format=gbrp,sobel=scale=2", w, h); }

std::string EmbossGraph(const EffectValues&, int w, int h) {
    return Neighbourhood(Convolution("-1 -1 0 -1 0 1 0 1 1", "1", 128), w, h);
}

std::string BrightnessContrastGraph(const EffectValues& v, int, int) {
    // Contrast scales around mid-grey (0 … 2 times), brightness shifts by up
    // to half the range.
    const int scale = 100 + v[1];
    const int shift = v[0] * 128 / 100;
    return "[a]" + LutRGB("clip((val-128)*" + Int(scale) + "/100+128+" + Int(shift) + ",0,255)") + "[out]";
}

std::string HSLBalanceGraph(const EffectValues& v, int, int) {
    const int hue = v[0], saturation = v[1], lightness = v[2];
    std::string out = "[a]";
    if (hue != 0 || saturation != 0) {
        // Hue turns about the grey axis (up to half a turn either way),
        // saturation scales the distance from grey (none at -100, twice at
        // 100); both as one colour matrix, grey weights 0.213/0.715/0.072.
        const double angle = hue * 1.8 * 3.14159265358979323846 / 180.0;
        const double c = std::cos(angle), s = std::sin(angle), f = 1.0 + saturation / 100.0;
        const double rotate[3][3] = {{0.213 + c * 0.787 - s * 0.213, 0.715 - c * 0.715 - s * 0.715, 0.072 - c * 0.072 + s * 0.928},
                                     {0.213 - c * 0.213 + s * 0.143, 0.715 + c * 0.285 + s * 0.140, 0.072 - c * 0.072 - s * 0.283},
                                     {0.213 - c * 0.213 - s * 0.787, 0.715 - c * 0.715 + s * 0.715, 0.072 + c * 0.928 + s * 0.072}};
        const double saturate[3][3] = {{0.213 + 0.787 * f, 0.715 - 0.715 * f, 0.072 - 0.072 * f},
                                       {0.213 - 0.213 * f, 0.715 + 0.285 * f, 0.072 - 0.072 * f},
                                       {0.213 - 0.213 * f, 0.715 - 0.715 * f, 0.072 + 0.928 * f}};
        double m[3][3];
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (int j = 0; j < 3; ++j) sum += saturate[r][j] * rotate[j][k];
                m[r][k] = std::clamp(sum, -2.0, 2.0);
            }
        out += ChannelMixer(m) + ",";
    }
    // Lightness moves each channel toward white (or black) by that share.
    if (lightness > 0)
        out += LutRGB("val+(255-val)*" + Int(lightness) + "/100");
    else if (lightness < 0)
        out += LutRGB("val*" + Int(100 + lightness) + "/100");
    else
        out += "null";
    return out + "[out]";
}

std::string TintGraph(const EffectValues& v, int, int) {
    static const double sepia[3][3] = {{0.393, 0.769, 0.189}, {0.349, 0.686, 0.168}, {0.272, 0.534, 0.131}};
    static const double grey[3][3] = {{0.299, 0.587, 0.114}, {0.299, 0.587, 0.114}, {0.299, 0.587, 0.114}};
    static const double blue[3][3] = {{0.299 * 0.55, 0.587 * 0.55, 0.114 * 0.55},
                                      {0.299 * 0.75, 0.587 * 0.75, 0.114 * 0.75},
                                      {0.299 * 1.15, 0.587 * 1.15, 0.114 * 1.15}};
    const double(*m)[3] = v[0] == 1 ? grey : v[0] == 2 ? blue : sepia;
    return "[a]" + ChannelMixer(m) + "[out]";
}

std::string SolarizeGraph(const EffectValues& v, int, int) {
    return "[a]" + LutRGB("if(gt(val," + Int(v[0]) + "),255-val,val)") + "[out]";
}

std::string FilmNoiseGraph(const EffectValues& v, int, int) {
    if (v[0] == 0) return "[a]null[out]";
    // A fixed seed and the same seed for every plane: grey grain that
    // changes from frame to frame but repeats from run to run.
    return "[a]format=gbrp,noise=alls=" + Int(v[0]) + ":allf=t:all_seed=20857[out]";
}

std::string CrossFadeGraph(const EffectValues&, int, int) {
    return "[a]format=gbrp[fa];[b]format=gbrp[fb];[fa][fb]blend=all_mode=normal:all_opacity=" +
           Int(10 - kTransitionTenths) + "/10[out]";
}

std::string WipeGraph(const EffectValues& v, int w, int h) {
    const int dw = Covered(w), dh = Covered(h);
    std::vector<Box> boxes;
    switch (v[0]) {
    case 2: boxes = {{0, 0, w, dh}}; break;
    case 3: boxes = {{0, 0, dw, dh}}; break;
    case 4: boxes = {{w - dw, 0, dw, dh}}; break;
    case 5: boxes = {{w - dw, h - dh, dw, dh}}; break;
    case 6: boxes = {{0, h - dh, dw, dh}}; break;
    case 21: boxes = {{(w - dw) / 2, 0, dw, h}}; break;
    case 22: boxes = {{0, (h - dh) / 2, w, dh}}; break;
    case 23: boxes = {{(w - dw) / 2, (h - dh) / 2, dw, dh}}; break;
    default: boxes = {{0, 0, dw, h}}; break;  // 1: left to right
    }
    return ShowSecondSourceIn(boxes);
}

std::string PushGraph(const EffectValues& v, int w, int h) {
    const bool horizontal = v[0] == 0 || v[0] == 1;
    const int full = horizontal ? w : h;
    const int d = Covered(full);
    if (d >= full) return "[a]nullsink;[b]null[out]";
    // The incoming picture's far edge enters first; the old one moves on.
    auto part = [&](const char* in, int offset, int length) {
        return horizontal ? std::string(in) + "crop=" + Int(length) + ":" + Int(h) + ":" + Int(offset) + ":0"
                          : std::string(in) + "crop=" + Int(w) + ":" + Int(length) + ":0:" + Int(offset);
    };
    const std::string stack = horizontal ? "hstack" : "vstack";
    switch (v[0]) {
    case 1:  // from the right
        return part("[a]", d, full - d) + "[pa];" + part("[b]", 0, d) + "[pb];[pa][pb]" + stack + "[out]";
    case 2:  // from the top
    case 0:  // from the left
        return part("[b]", full - d, d) + "[pb];" + part("[a]", 0, full - d) + "[pa];[pb][pa]" + stack + "[out]";
    default:  // from the bottom
        return part("[a]", d, full - d) + "[pa];" + part("[b]", 0, d) + "[pb];[pa][pb]" + stack + "[out]";
    }
}

std::string ColorGraph(const EffectValues& v, int w, int h) {
    char hex[16];
    const uint32_t rgb = uint32_t(v[0]) & 0xFFFFFF;
    std::snprintf(hex, sizeof hex, "0x%06X", rgb);
    return "color=c=" + std::string(hex) + ":s=" + Size(w, h) + ":r=25,format=rgb24[out]";
}

std::string FireGraph(const EffectValues&, int w, int h) {
    // Heat rises toward the bottom edge and flickers with the frame number.
    // The flames are soft, so they are worked out on an eighth of the frame
    // and enlarged: per-pixel expressions at full size are far too slow.
    const int fw = std::max(1, (w + 7) / 8), fh = std::max(1, (h + 7) / 8);
    const std::string heat = "clip((Y/H)*(Y/H)*(4+sin(X*40/W+N)*cos(Y*12/H-2*N))/5,0,1)";
    return "color=c=black:s=" + Size(fw, fh) + ":r=25,format=gbrp,geq=r='255*clip(" + heat +
           "*3/2,0,1)':g='255*" + heat + "*" + heat + "':b='255*pow(" + heat + ",4)',scale=" + Int(w) + ":" + Int(h) +
           ":flags=bicubic,format=rgb24[out]";
}

std::vector<EffectChoice> WipePatterns() {
    return {{1, "Left to Right"},  {2, "Top to Bottom"},     {3, "Top Left Corner"},
            {4, "Top Right Corner"}, {5, "Bottom Right Corner"}, {6, "Bottom Left Corner"},
            {21, "Vertical Barn Door"}, {22, "Horizontal Barn Door"}, {23, "Box from Centre"}};
}

EffectParameter Slider(const char (&type)[5], const char* meaning, int32_t minimum, int32_t maximum,
                       int32_t defaultValue) {
    return {FourCC(type), meaning, minimum, maximum, defaultValue, EffectParameterKind::Slider, {}};
}

EffectParameter Choice(const char (&type)[5], const char* meaning, int32_t defaultValue,
                       std::vector<EffectChoice> choices) {
    int32_t lo = defaultValue, hi = defaultValue;
    for (const auto& c : choices) {
        lo = std::min(lo, c.value);
        hi = std::max(hi, c.value);
    }
    return {FourCC(type), meaning, lo, hi, defaultValue, EffectParameterKind::Choice, std::move(choices)};
}

std::vector<EffectType> BuildTable() {
    return {
        {FourCC("blur"), "Blur", 1, {Slider("ksiz", "Strength", 1, 10, 3)}, BlurGraph},
        {FourCC("shrp"), "Sharpen", 1, {Slider("ksiz", "Strength", 1, 10, 3)}, SharpenGraph},
        {FourCC("edge"), "Edge Detection", 1, {}, EdgeGraph},
        {FourCC("embs"), "Emboss", 1, {}, EmbossGraph},
        {FourCC("brco"), "Brightness and Contrast", 1,
         {Slider("brit", "Brightness", -100, 100, 0), Slider("cont", "Contrast", -100, 100, 0)},
         BrightnessContrastGraph},
        {FourCC("hslb"), "HSL Balance", 1,
         {Slider("hue ", "Hue", -100, 100, 0), Slider("satu", "Saturation", -100, 100, 0),
          Slider("ligh", "Lightness", -100, 100, 0)},
         HSLBalanceGraph},
        {FourCC("tint"), "Color Tint", 1, {Choice("tint", "Tint", 0, {{0, "Sepia"}, {1, "Grey"}, {2, "Blue"}})},
         TintGraph},
        {FourCC("solr"), "Solarize", 1, {Slider("thrs", "Threshold", 0, 255, 128)}, SolarizeGraph},
        {FourCC("fmns"), "Film Noise", 1, {Slider("dens", "Density", 0, 100, 20)}, FilmNoiseGraph},
        {FourCC("dslv"), "Cross Fade", 2, {}, CrossFadeGraph},
        {FourCC("smpt"), "Wipe", 2, {Choice("wpid", "Wipe Pattern", 1, WipePatterns())}, WipeGraph},
        {FourCC("push"), "Push", 2,
         {Choice("from", "From", 0, {{0, "Left"}, {1, "Right"}, {2, "Top"}, {3, "Bottom"}})}, PushGraph},
        {FourCC("colr"), "Color", 0, {Slider("colr", "Color (RGB)", 0, 0xFFFFFF, 0)}, ColorGraph},
        {FourCC("fire"), "Fire", 0, {}, FireGraph},
    };
}

}  // namespace

int32_t EffectParameter::Clamp(int32_t value) const {
    if (kind == EffectParameterKind::Choice) {
        for (const auto& c : choices)
            if (c.value == value) return value;
        return defaultValue;
    }
    return std::clamp(value, minimum, maximum);
}

const EffectParameter* EffectType::FindParameter(OSType atomType) const {
    for (const auto& p : parameters)
        if (p.atomType == atomType) return &p;
    return nullptr;
}

namespace effects {

const std::vector<EffectType>& AllEffectTypes() {
    static const std::vector<EffectType> table = BuildTable();
    return table;
}

const EffectType* FindEffectType(OSType type) {
    for (const auto& e : AllEffectTypes())
        if (e.type == type) return &e;
    return nullptr;
}

EffectValues ReadEffectValues(const EffectType& effect, const AtomContainer& description) {
    EffectValues values;
    values.reserve(effect.parameters.size());
    for (const auto& p : effect.parameters) {
        const QTAtomNode* atom = description.Root().FindChildByID(p.atomType, 1);
        if (atom && atom->leaf && atom->data.size() >= 4)
            values.push_back(p.Clamp(atom->S32()));
        else
            values.push_back(p.defaultValue);
    }
    return values;
}

}  // namespace effects
