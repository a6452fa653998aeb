#!/usr/bin/env node
// Draws the ORVA branding images from geometry (no fonts, no source artwork) and writes them as
// 8-bit RGBA PNG files:
//   src/resources/branding/icon_256.png        application icon, 256 x 256
//   src/resources/branding/wordmark.png        wordmark, 512 x 152
//   src/resources/branding/logo_with_text.png  splash artwork, 441 x 512
//   src/resources/web/assets/orva-icon.png     favicon of web games, 64 x 64
//   src/resources/web/assets/orva-wordmark.png the "Made with" wordmark of web games (= wordmark.png)
// The output is deterministic; run `node tools/make-branding.mjs` after changing the drawing.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { encodePng } from './png.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');

// ---------------------------------------------------------------------------------------------
// Canvas: premultiplied float RGBA; shapes are signed distance functions in pixels, so edges get
// exact anti-aliasing at any size.
// ---------------------------------------------------------------------------------------------

class Canvas {
    constructor(width, height) {
        this.width = width;
        this.height = height;
        this.data = new Float64Array(width * height * 4);
    }

    // sdf(x, y) < 0 inside; colour(x, y) -> [r, g, b, a] with components 0..1. box limits the work.
    fill(sdf, colour, box = [0, 0, this.width, this.height]) {
        const x0 = Math.max(0, Math.floor(box[0])), y0 = Math.max(0, Math.floor(box[1]));
        const x1 = Math.min(this.width, Math.ceil(box[2])), y1 = Math.min(this.height, Math.ceil(box[3]));
        for (let y = y0; y < y1; y++) {
            for (let x = x0; x < x1; x++) {
                const px = x + 0.5, py = y + 0.5;
                const coverage = Math.min(1, Math.max(0, 0.5 - sdf(px, py)));
                if (coverage <= 0) continue;
                const c = typeof colour === 'function' ? colour(px, py) : colour;
                const a = c[3] * coverage;
                const i = (y * this.width + x) * 4;
                const d = this.data;
                d[i] = c[0] * a + d[i] * (1 - a);
                d[i + 1] = c[1] * a + d[i + 1] * (1 - a);
                d[i + 2] = c[2] * a + d[i + 2] * (1 - a);
                d[i + 3] = a + d[i + 3] * (1 - a);
            }
        }
    }

    png() {
        const out = Buffer.alloc(this.width * this.height * 4);
        for (let i = 0; i < this.width * this.height; i++) {
            const a = this.data[i * 4 + 3];
            for (let k = 0; k < 3; k++) {
                out[i * 4 + k] = a > 0 ? Math.round(Math.min(1, this.data[i * 4 + k] / a) * 255) : 0;
            }
            out[i * 4 + 3] = Math.round(a * 255);
        }
        return encodePng(this.width, this.height, out);
    }
}

const hex = (value, alpha = 1) => [
    ((value >> 16) & 255) / 255,
    ((value >> 8) & 255) / 255,
    (value & 255) / 255,
    alpha,
];
const mix = (a, b, t) => a.map((v, i) => v + (b[i] - v) * t);

function roundedRect(cx, cy, hw, hh, r) {
    return (x, y) => {
        const qx = Math.abs(x - cx) - (hw - r);
        const qy = Math.abs(y - cy) - (hh - r);
        return Math.hypot(Math.max(qx, 0), Math.max(qy, 0)) + Math.min(Math.max(qx, qy), 0) - r;
    };
}

function circle(cx, cy, r) {
    return (x, y) => Math.hypot(x - cx, y - cy) - r;
}

// Signed distance to a simple polygon (points in order).
function polygon(points) {
    return (x, y) => {
        let d = Infinity;
        let inside = false;
        for (let i = 0, j = points.length - 1; i < points.length; j = i++) {
            const [ax, ay] = points[j];
            const [bx, by] = points[i];
            const ex = bx - ax, ey = by - ay;
            const wx = x - ax, wy = y - ay;
            const t = Math.min(1, Math.max(0, (wx * ex + wy * ey) / (ex * ex + ey * ey)));
            d = Math.min(d, Math.hypot(wx - ex * t, wy - ey * t));
            if (ay > y !== by > y && x < (ex * (y - ay)) / ey + ax) inside = !inside;
        }
        return inside ? -d : d;
    };
}

// Round-capped strokes along polylines, half width `hw`.
function strokes(lines, hw) {
    const segments = [];
    for (const line of lines) for (let i = 1; i < line.length; i++) segments.push([line[i - 1], line[i]]);
    return (x, y) => {
        let d = Infinity;
        for (const [[ax, ay], [bx, by]] of segments) {
            const ex = bx - ax, ey = by - ay;
            const wx = x - ax, wy = y - ay;
            const len2 = ex * ex + ey * ey;
            const t = len2 > 0 ? Math.min(1, Math.max(0, (wx * ex + wy * ey) / len2)) : 0;
            d = Math.min(d, Math.hypot(wx - ex * t, wy - ey * t));
        }
        return d - hw;
    };
}

function boundsOf(lines, margin) {
    let box = [Infinity, Infinity, -Infinity, -Infinity];
    for (const line of lines) {
        for (const [x, y] of line) {
            box = [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)];
        }
    }
    return [box[0] - margin, box[1] - margin, box[2] + margin, box[3] + margin];
}

// ---------------------------------------------------------------------------------------------
// Stroke font: glyphs in a box one unit high (y down, 0 = cap line, 1 = baseline).
// ---------------------------------------------------------------------------------------------

function arc(cx, cy, rx, ry, fromDeg, toDeg, steps = 32) {
    const out = [];
    for (let i = 0; i <= steps; i++) {
        const a = ((fromDeg + ((toDeg - fromDeg) * i) / steps) * Math.PI) / 180;
        out.push([cx + rx * Math.cos(a), cy + ry * Math.sin(a)]);
    }
    return out;
}

const glyphs = {
    O: { width: 0.92, lines: [arc(0.46, 0.5, 0.46, 0.5, 0, 360, 64)] },
    R: {
        width: 0.7,
        lines: [
            [[0, 1], [0, 0], [0.4, 0], ...arc(0.4, 0.25, 0.25, 0.25, -90, 90), [0, 0.5]],
            [[0.34, 0.5], [0.7, 1]],
        ],
    },
    V: { width: 0.82, lines: [[[0, 0], [0.41, 1], [0.82, 0]]] },
    A: { width: 0.86, lines: [[[0, 1], [0.43, 0], [0.86, 1]], [[0.18, 0.64], [0.68, 0.64]]] },
    3: { width: 0.62, lines: [[...arc(0.3, 0.25, 0.29, 0.25, -155, 90), ...arc(0.31, 0.74, 0.31, 0.26, -90, 155)]] },
    D: { width: 0.78, lines: [[[0, 0], [0.3, 0], ...arc(0.3, 0.5, 0.48, 0.5, -90, 90), [0, 1], [0, 0]]] },
    S: { width: 0.64, lines: [[...arc(0.32, 0.25, 0.3, 0.25, -25, -270), ...arc(0.32, 0.74, 0.32, 0.26, -90, 155)]] },
    T: { width: 0.7, lines: [[[0, 0], [0.7, 0]], [[0.35, 0], [0.35, 1]]] },
    U: { width: 0.74, lines: [[[0, 0], ...arc(0.37, 0.63, 0.37, 0.37, 180, 0), [0.74, 0]]] },
    I: { width: 0, lines: [[[0, 0], [0, 1]]] },
    ' ': { width: 0.3, lines: [] },
};

// Polylines of `text` in pixels: cap height `size`, stroke half width `hw`, extra `tracking`
// (pixels) between letters, starting with the left edge of the first stroke at `x`, cap line at `y`.
function textLines(text, x, y, size, hw, tracking) {
    const lines = [];
    let pen = x + hw;
    for (const ch of text) {
        const glyph = glyphs[ch];
        for (const line of glyph.lines) lines.push(line.map(([gx, gy]) => [pen + gx * size, y + gy * size]));
        pen += glyph.width * size + 2 * hw + tracking;
    }
    return { lines, width: pen - tracking - hw - x };
}

function drawText(canvas, text, x, y, size, hw, tracking, colour) {
    const { lines } = textLines(text, x, y, size, hw, tracking);
    canvas.fill(strokes(lines, hw), colour, boundsOf(lines, hw + 2));
}

function textWidth(text, size, hw, tracking) {
    return textLines(text, 0, 0, size, hw, tracking).width;
}

// ---------------------------------------------------------------------------------------------
// The mark: an isometric cube with an orbit, on a blue rounded tile.
// ---------------------------------------------------------------------------------------------

const accent = hex(0x4285f4);
const deep = hex(0x2a3f9e);
const white = hex(0xf4f6fb);

// Draws the mark into the square (x, y, size).
function drawMark(canvas, x, y, size, withTile = true) {
    const s = size;
    if (withTile) {
        const tile = roundedRect(x + s / 2, y + s / 2, s * 0.44, s * 0.44, s * 0.2);
        canvas.fill(tile, (px, py) => mix(hex(0x5b9bff), deep, (py - y) / s), [x, y, x + s, y + s]);
        // a faint inner highlight along the top
        canvas.fill(
            (px, py) => Math.max(tile(px, py), -(tile(px, py) + s * 0.012)),
            (px, py) => [1, 1, 1, 0.22 * Math.max(0, 1 - (py - y - s * 0.06) / (s * 0.3))]
        );
    }
    const cx = x + s * 0.5;
    const cy = y + s * 0.52;
    const r = s * 0.24;
    const c30 = Math.cos(Math.PI / 6);
    const T = [cx, cy - r], UR = [cx + r * c30, cy - r / 2], LR = [cx + r * c30, cy + r / 2];
    const B = [cx, cy + r], LL = [cx - r * c30, cy + r / 2], UL = [cx - r * c30, cy - r / 2], C = [cx, cy];

    // orbit: an ellipse tilted by -18 degrees; its far half behind the cube, its near half in front
    const tilt = (-18 * Math.PI) / 180;
    const orbit = (from, to) =>
        arc(0, 0, s * 0.38, s * 0.12, from, to, 48).map(([ox, oy]) => [
            cx + ox * Math.cos(tilt) - oy * Math.sin(tilt),
            cy + s * 0.04 + ox * Math.sin(tilt) + oy * Math.cos(tilt),
        ]);
    const ringWidth = s * 0.014;
    const far = orbit(180, 360);
    const near = orbit(0, 180);
    canvas.fill(strokes([far], ringWidth), [1, 1, 1, 0.55], boundsOf([far], ringWidth + 2));

    // soft shadow under the cube
    canvas.fill(
        (px, py) => (Math.hypot((px - cx) / (r * 1.05), (py - (B[1] + s * 0.015)) / (r * 0.2)) - 1) * r * 0.2,
        [0.05, 0.08, 0.2, 0.25]
    );
    const faceTop = polygon([T, UR, C, UL]);
    const faceLeft = polygon([UL, C, B, LL]);
    const faceRight = polygon([C, UR, LR, B]);
    canvas.fill(faceLeft, (px, py) => mix(hex(0xdfe8ff), hex(0xc3d3fb), (py - UL[1]) / (B[1] - UL[1])));
    canvas.fill(faceRight, (px, py) => mix(hex(0xa9c2fb), hex(0x86a5f0), (py - UR[1]) / (B[1] - UR[1])));
    canvas.fill(faceTop, white);
    // crisp edges between the faces
    const edges = [[UL, C, UR], [C, B]];
    canvas.fill(strokes(edges, s * 0.004), [0.16, 0.27, 0.62, 0.35], boundsOf(edges, s * 0.01));

    canvas.fill(strokes([near], ringWidth), [1, 1, 1, 0.9], boundsOf([near], ringWidth + 2));
    const moon = orbit(38, 38)[0];
    canvas.fill(circle(moon[0], moon[1], s * 0.034), hex(0xffd166));
}

// ---------------------------------------------------------------------------------------------
// The images
// ---------------------------------------------------------------------------------------------

function icon(size) {
    const canvas = new Canvas(size, size);
    drawMark(canvas, 0, 0, size);
    return canvas.png();
}

// "ORVA" with "3D STUDIO" under it, left-aligned at x, cap line at y; returns the width used.
function drawWordmarkText(canvas, x, y, capHeight, colour) {
    const hw = capHeight * 0.085;
    const tracking = capHeight * 0.12;
    drawText(canvas, 'ORVA', x, y, capHeight, hw, tracking, colour);
    const small = capHeight * 0.26;
    const title = '3D STUDIO';
    const smallHw = small * 0.1;
    const main = textWidth('ORVA', capHeight, hw, tracking);
    const smallTracking = (main - textWidth(title, small, smallHw, 0)) / (title.length - 1);
    drawText(canvas, title, x, y + capHeight + capHeight * 0.28, small, smallHw, smallTracking, accent);
    return main;
}

function wordmark() {
    const canvas = new Canvas(512, 152);
    drawMark(canvas, 6, 6, 140);
    drawWordmarkText(canvas, 172, 30, 72, white);
    return canvas.png();
}

function splash() {
    const canvas = new Canvas(441, 512);
    drawMark(canvas, 60, 24, 321);
    const cap = 78;
    const hw = cap * 0.085;
    const width = textWidth('ORVA', cap, hw, cap * 0.12);
    drawWordmarkText(canvas, (441 - width) / 2, 366, cap, white);
    return canvas.png();
}

const outputs = [
    ['src/resources/branding/icon_256.png', icon(256)],
    ['src/resources/branding/wordmark.png', wordmark()],
    ['src/resources/branding/logo_with_text.png', splash()],
    ['src/resources/web/assets/orva-icon.png', icon(64)],
];
outputs.push(['src/resources/web/assets/orva-wordmark.png', outputs[1][1]]);
for (const [relative, bytes] of outputs) {
    const target = path.join(root, relative);
    fs.mkdirSync(path.dirname(target), { recursive: true });
    fs.writeFileSync(target, bytes);
    console.log(`${relative}: ${bytes.length} bytes`);
}
