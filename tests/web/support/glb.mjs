// Hand-built binary glTF for the browser tests: boxes, grids and spheres with plain or textured
// materials, placed by nodes. Small enough to read, exact about what the player gets to collide with.
import { encodePng } from '../../../tools/png.mjs';

// A mesh part: positions (x, y, z per vertex), optional normals and uvs, indices (three per triangle).
export function boxPart(min, max) {
    const [x0, y0, z0] = min;
    const [x1, y1, z1] = max;
    const faces = [
        // normal, four corners counter-clockwise seen from outside
        [[1, 0, 0], [[x1, y0, z1], [x1, y0, z0], [x1, y1, z0], [x1, y1, z1]]],
        [[-1, 0, 0], [[x0, y0, z0], [x0, y0, z1], [x0, y1, z1], [x0, y1, z0]]],
        [[0, 1, 0], [[x0, y1, z1], [x1, y1, z1], [x1, y1, z0], [x0, y1, z0]]],
        [[0, -1, 0], [[x0, y0, z0], [x1, y0, z0], [x1, y0, z1], [x0, y0, z1]]],
        [[0, 0, 1], [[x0, y0, z1], [x1, y0, z1], [x1, y1, z1], [x0, y1, z1]]],
        [[0, 0, -1], [[x1, y0, z0], [x0, y0, z0], [x0, y1, z0], [x1, y1, z0]]],
    ];
    const positions = [];
    const normals = [];
    const uvs = [];
    const indices = [];
    for (const [normal, corners] of faces) {
        const base = positions.length / 3;
        corners.forEach((corner, i) => {
            positions.push(...corner);
            normals.push(...normal);
            uvs.push(i === 1 || i === 2 ? 1 : 0, i >= 2 ? 1 : 0);
        });
        indices.push(base, base + 1, base + 2, base, base + 2, base + 3);
    }
    return { positions, normals, uvs, indices };
}

// A grid of n x n quads over [x0, x1] x [z0, z1] at height(x, z): 2 n^2 triangles, facing up.
export function gridPart(x0, z0, x1, z1, n, height = () => 0) {
    const positions = [];
    const uvs = [];
    const indices = [];
    for (let j = 0; j <= n; j++) {
        for (let i = 0; i <= n; i++) {
            const x = x0 + ((x1 - x0) * i) / n;
            const z = z0 + ((z1 - z0) * j) / n;
            positions.push(x, height(x, z), z);
            uvs.push(i / n, j / n);
        }
    }
    for (let j = 0; j < n; j++) {
        for (let i = 0; i < n; i++) {
            const a = j * (n + 1) + i;
            const b = a + 1;
            const c = a + n + 1;
            const d = c + 1;
            indices.push(a, c, b, b, c, d);
        }
    }
    return { positions, uvs, indices };
}

// A UV sphere with `segments` around and `rings` from pole to pole: 2 * segments * (rings - 1) triangles.
export function spherePart(centre, radius, segments, rings) {
    const positions = [];
    const normals = [];
    const indices = [];
    for (let r = 0; r <= rings; r++) {
        const phi = (Math.PI * r) / rings;
        for (let s = 0; s <= segments; s++) {
            const theta = (2 * Math.PI * s) / segments;
            const n = [Math.sin(phi) * Math.cos(theta), Math.cos(phi), Math.sin(phi) * Math.sin(theta)];
            normals.push(...n);
            positions.push(centre[0] + radius * n[0], centre[1] + radius * n[1], centre[2] + radius * n[2]);
        }
    }
    for (let r = 0; r < rings; r++) {
        for (let s = 0; s < segments; s++) {
            const a = r * (segments + 1) + s;
            const b = a + segments + 1;
            if (r !== 0) indices.push(a, a + 1, b);
            if (r !== rings - 1) indices.push(a + 1, b + 1, b);
        }
    }
    return { positions, normals, indices };
}

// A checker texture as PNG bytes, for textured materials.
export function checkerPng(size, cells, colourA, colourB) {
    const rgba = Buffer.alloc(size * size * 4);
    for (let y = 0; y < size; y++) {
        for (let x = 0; x < size; x++) {
            const odd = (Math.floor((x * cells) / size) + Math.floor((y * cells) / size)) % 2;
            const c = odd ? colourB : colourA;
            rgba.set([c[0], c[1], c[2], 255], (y * size + x) * 4);
        }
    }
    return encodePng(size, size, rgba);
}

// scene: {
//   materials: [{ color: [r, g, b, a], texture?: { png, offset?, scale?, rotation? } }],
//   meshes: [{ part, material }],
//   nodes: [{ name?, mesh?, translation?, rotation? (quaternion x, y, z, w), scale? }]
// }
// Every node is a root node. Returns the GLB bytes.
export function buildGlb(scene) {
    const chunks = [];
    let byteLength = 0;
    const bufferViews = [];
    const accessors = [];
    const addView = (bytes, target) => {
        const padded = Buffer.alloc(Math.ceil(bytes.length / 4) * 4);
        Buffer.from(bytes.buffer, bytes.byteOffset, bytes.length).copy(padded);
        const view = { buffer: 0, byteOffset: byteLength, byteLength: bytes.length };
        if (target) view.target = target;
        bufferViews.push(view);
        chunks.push(padded);
        byteLength += padded.length;
        return bufferViews.length - 1;
    };
    const addAccessor = (values, type, componentType, withBounds) => {
        const width = { SCALAR: 1, VEC2: 2, VEC3: 3 }[type];
        const array = componentType === 5126 ? new Float32Array(values) : new Uint32Array(values);
        const view = addView(new Uint8Array(array.buffer), componentType === 5126 ? 34962 : 34963);
        const accessor = { bufferView: view, componentType, count: values.length / width, type };
        if (withBounds) {
            accessor.min = [Infinity, Infinity, Infinity];
            accessor.max = [-Infinity, -Infinity, -Infinity];
            for (let i = 0; i < array.length; i++) {
                accessor.min[i % 3] = Math.min(accessor.min[i % 3], array[i]);
                accessor.max[i % 3] = Math.max(accessor.max[i % 3], array[i]);
            }
        }
        accessors.push(accessor);
        return accessors.length - 1;
    };

    const json = {
        asset: { version: '2.0', generator: 'ORVA browser tests' },
        scene: 0,
        scenes: [{ nodes: scene.nodes.map((_, i) => i) }],
        nodes: scene.nodes.map((node) => {
            const out = {};
            if (node.name) out.name = node.name;
            if (node.mesh !== undefined) out.mesh = node.mesh;
            if (node.translation) out.translation = node.translation;
            if (node.rotation) out.rotation = node.rotation;
            if (node.scale) out.scale = node.scale;
            return out;
        }),
        materials: [],
        meshes: [],
        buffers: [{ byteLength: 0 }],
        bufferViews,
        accessors,
    };
    const textures = [];
    const images = [];
    let usesTransform = false;
    for (const material of scene.materials) {
        const pbr = { baseColorFactor: material.color, metallicFactor: 0, roughnessFactor: 0.85 };
        if (material.texture) {
            const t = material.texture;
            images.push({ bufferView: addView(t.png), mimeType: 'image/png' });
            textures.push({ source: images.length - 1, sampler: 0 });
            pbr.baseColorTexture = { index: textures.length - 1 };
            if (t.offset || t.scale || t.rotation !== undefined) {
                usesTransform = true;
                pbr.baseColorTexture.extensions = {
                    KHR_texture_transform: {
                        offset: t.offset ?? [0, 0],
                        rotation: t.rotation ?? 0,
                        scale: t.scale ?? [1, 1],
                    },
                };
            }
        }
        json.materials.push({ pbrMetallicRoughness: pbr, doubleSided: false });
    }
    for (const mesh of scene.meshes) {
        const attributes = { POSITION: addAccessor(mesh.part.positions, 'VEC3', 5126, true) };
        if (mesh.part.normals) attributes.NORMAL = addAccessor(mesh.part.normals, 'VEC3', 5126, false);
        if (mesh.part.uvs) attributes.TEXCOORD_0 = addAccessor(mesh.part.uvs, 'VEC2', 5126, false);
        const primitive = { attributes, indices: addAccessor(mesh.part.indices, 'SCALAR', 5125, false) };
        if (mesh.material !== undefined) primitive.material = mesh.material;
        json.meshes.push({ primitives: [primitive] });
    }
    if (images.length > 0) {
        json.images = images;
        json.textures = textures;
        json.samplers = [{ magFilter: 9729, minFilter: 9987, wrapS: 10497, wrapT: 10497 }];
    }
    if (usesTransform) json.extensionsUsed = ['KHR_texture_transform'];
    for (const key of ['materials', 'meshes']) if (json[key].length === 0) delete json[key];
    json.buffers[0].byteLength = byteLength;
    if (byteLength === 0) {
        delete json.buffers;
        delete json.bufferViews;
        delete json.accessors;
    }

    const jsonBytes = Buffer.from(JSON.stringify(json), 'utf8');
    const jsonChunk = Buffer.alloc(Math.ceil(jsonBytes.length / 4) * 4, 0x20);
    jsonBytes.copy(jsonChunk);
    const binChunk = Buffer.concat(chunks);
    const total = 12 + 8 + jsonChunk.length + (binChunk.length > 0 ? 8 + binChunk.length : 0);
    const header = Buffer.alloc(12);
    header.writeUInt32LE(0x46546c67, 0); // "glTF"
    header.writeUInt32LE(2, 4);
    header.writeUInt32LE(total, 8);
    const parts = [header, chunkHeader(jsonChunk.length, 0x4e4f534a), jsonChunk];
    if (binChunk.length > 0) parts.push(chunkHeader(binChunk.length, 0x004e4942), binChunk);
    return Buffer.concat(parts);
}

function chunkHeader(length, type) {
    const header = Buffer.alloc(8);
    header.writeUInt32LE(length, 0);
    header.writeUInt32LE(type, 4);
    return header;
}
