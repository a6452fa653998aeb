// Checks GLB files the way their consumers see them and prints one JSON report on standard output:
//   node tests/js/inspect_glb.mjs a.glb [b.glb ...]
// For each file: the Khronos glTF validator's issues (every message, any severity) and the scene
// that three.js's GLTFLoader builds from it (names, hierarchy, transforms, materials, textures,
// cameras, lights), reduced to plain data that a C++ test compares with the exported scene.
// Exit status 0 whenever the report was printed; a file that fails to load gets "loadError".
import { readFileSync } from 'node:fs';
import { resolveObjectURL } from 'node:buffer';
import validator from 'gltf-validator';
import { GLTFLoader } from 'three/examples/jsm/loaders/GLTFLoader.js';

// GLTFLoader decodes images through an <img> element. Node has no DOM: this stand-in reads the
// Blob the loader made for the image (its object URL) and reports the PNG or JPEG size instead.
class StubImage {
    constructor() {
        this.listeners = {};
        this.width = 0;
        this.height = 0;
        this.byteLength = 0;
    }
    addEventListener(type, fn) {
        (this.listeners[type] ||= []).push(fn);
    }
    removeEventListener(type, fn) {
        this.listeners[type] = (this.listeners[type] || []).filter((f) => f !== fn);
    }
    dispatch(type) {
        for (const fn of [...(this.listeners[type] || [])]) fn.call(this, { type, target: this });
    }
    set src(url) {
        this._src = url;
        const blob = resolveObjectURL(url);
        if (!blob) {
            setTimeout(() => this.dispatch('error'), 0);
            return;
        }
        blob.arrayBuffer().then((data) => {
            const bytes = new Uint8Array(data);
            this.byteLength = bytes.length;
            Object.assign(this, imageSize(bytes));
            this.dispatch(this.width > 0 ? 'load' : 'error');
        });
    }
    get src() {
        return this._src;
    }
}

function imageSize(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    // PNG: signature, then the IHDR chunk with width and height.
    if (bytes.length >= 24 && bytes[0] === 0x89 && bytes[1] === 0x50 && bytes[2] === 0x4e && bytes[3] === 0x47)
        return { width: view.getUint32(16), height: view.getUint32(20) };
    // JPEG: the first start-of-frame marker holds height and width.
    if (bytes.length >= 4 && bytes[0] === 0xff && bytes[1] === 0xd8) {
        let i = 2;
        while (i + 9 < bytes.length) {
            if (bytes[i] !== 0xff) break;
            const marker = bytes[i + 1];
            const length = view.getUint16(i + 2);
            if (marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc)
                return { width: view.getUint16(i + 7), height: view.getUint16(i + 5) };
            i += 2 + length;
        }
    }
    return { width: 0, height: 0 };
}

// Standard output carries only the report: anything the libraries log goes to standard error.
console.log = console.info = (...args) => console.error(...args);

globalThis.self ||= globalThis; // the loader reaches URL through `self`

globalThis.document = {
    createElementNS(namespace, name) {
        if (name !== 'img') throw new Error('inspect_glb: no DOM element ' + name);
        return new StubImage();
    },
};

const round = (v) => Math.round(v * 1e6) / 1e6;
const vec = (v) => v.toArray().map(round);

function describeMaterial(m) {
    if (!m) return null;
    const out = {
        name: m.name,
        color: vec(m.color),
        opacity: round(m.opacity),
        transparent: m.transparent,
        metalness: round(m.metalness),
        roughness: round(m.roughness),
        side: m.side,
        map: null,
    };
    if (m.map) {
        const t = m.map;
        out.map = {
            name: t.name,
            offset: vec(t.offset),
            repeat: vec(t.repeat),
            rotation: round(t.rotation),
            flipY: t.flipY,
            mimeType: t.userData.mimeType,
            width: t.image ? t.image.width : 0,
            height: t.image ? t.image.height : 0,
            byteLength: t.image ? t.image.byteLength : 0,
            imageId: t.source ? t.source.uuid : null,
        };
    }
    return out;
}

function describe(object) {
    const out = {
        name: object.name,
        type: object.type,
        position: vec(object.position),
        quaternion: vec(object.quaternion),
        scale: vec(object.scale),
    };
    if (object.isMesh) {
        const g = object.geometry;
        out.mesh = {
            attributes: Object.keys(g.attributes).sort(),
            vertexCount: g.attributes.position ? g.attributes.position.count : 0,
            indexCount: g.index ? g.index.count : 0,
            boundingBox: (g.computeBoundingBox(), { min: vec(g.boundingBox.min), max: vec(g.boundingBox.max) }),
            material: describeMaterial(object.material),
        };
    }
    if (object.isCamera) out.camera = { fov: round(object.fov), near: round(object.near), far: round(object.far) };
    if (object.isLight) {
        out.light = { color: vec(object.color), intensity: round(object.intensity), distance: round(object.distance) };
        if (object.isSpotLight) {
            out.light.angle = round(object.angle);
            out.light.penumbra = round(object.penumbra);
        }
    }
    // A directional or spot light's target is the loader's helper, not a node of the file.
    out.children = object.children.filter((c) => !(object.isLight && c === object.target)).map(describe);
    return out;
}

async function inspect(file) {
    const bytes = readFileSync(file);
    const report = { file };
    const validation = await validator.validateBytes(new Uint8Array(bytes), {
        uri: file,
        format: 'glb',
        maxIssues: 0,
        writeTimestamp: false,
    });
    const issues = validation.issues;
    report.validation = {
        numErrors: issues.numErrors,
        numWarnings: issues.numWarnings,
        numInfos: issues.numInfos,
        numHints: issues.numHints,
        messages: issues.messages.map((m) => ({ code: m.code, severity: m.severity, message: m.message, pointer: m.pointer || '' })),
    };
    try {
        const data = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
        const gltf = await new GLTFLoader().parseAsync(data, '');
        report.scene = { name: gltf.scene.name, children: gltf.scene.children.map(describe) };
    } catch (error) {
        report.loadError = String(error && error.stack ? error.stack : error);
    }
    return report;
}

const reports = [];
for (const file of process.argv.slice(2)) reports.push(await inspect(file));
process.stdout.write(JSON.stringify(reports));
