// Minimal PNG encoder for 8-bit RGBA images (no dependencies): used by the branding generator and
// by the browser tests to make textures.
import zlib from 'node:zlib';

const crcTable = new Uint32Array(256);
for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    crcTable[n] = c >>> 0;
}

function crc32(bytes) {
    let c = 0xffffffff;
    for (let i = 0; i < bytes.length; i++) c = crcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
    const out = Buffer.alloc(12 + data.length);
    out.writeUInt32BE(data.length, 0);
    out.write(type, 4, 'ascii');
    data.copy(out, 8);
    out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
    return out;
}

// rgba: width * height * 4 bytes, top row first. Returns the PNG file bytes.
export function encodePng(width, height, rgba) {
    const stride = width * 4;
    // Each row is filtered with "Paeth", which suits smooth artwork and flat areas alike.
    const raw = Buffer.alloc((stride + 1) * height);
    for (let y = 0; y < height; y++) {
        const row = y * (stride + 1);
        raw[row] = 4;
        for (let x = 0; x < stride; x++) {
            const a = x >= 4 ? rgba[y * stride + x - 4] : 0;
            const b = y > 0 ? rgba[(y - 1) * stride + x] : 0;
            const c = x >= 4 && y > 0 ? rgba[(y - 1) * stride + x - 4] : 0;
            const p = a + b - c;
            const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
            const predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            raw[row + 1 + x] = (rgba[y * stride + x] - predictor) & 0xff;
        }
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    return Buffer.concat([
        Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
        chunk('IHDR', header),
        chunk('IDAT', zlib.deflateSync(raw, { level: 9 })),
        chunk('IEND', Buffer.alloc(0)),
    ]);
}
