// The levels the browser tests and the benchmark load. Floors have their top at y = 0.
import { boxPart, buildGlb, checkerPng, gridPart, spherePart } from './glb.mjs';

const oneMesh = (part, color) =>
    buildGlb({ materials: [{ color }], meshes: [{ part, material: 0 }], nodes: [{ mesh: 0 }] });

const quatY = (degrees) => {
    const half = (degrees * Math.PI) / 360;
    return [0, Math.sin(half), 0, Math.cos(half)];
};

// Test stations of the movement level (x, z of the feet; the floor spans -60..60):
export const stations = {
    open: [50, 50], // nothing within 40 m towards -Z
    wall: [20, -15], // a wall 5 m ahead (towards -Z), its face at z = -20, from x = 10 to 30
    lowStep: [-25, -5], // a 0.3 m step 5 m ahead, its front at z = -10, top 0.3
    highStep: [-40, -5], // a 0.5 m step 5 m ahead, its front at z = -10, top 0.5
    highStepTop: [-40, -15], // on top of the 0.5 m step, 5 m from its back edge at z = -20
    ceiling: [35, 15], // under a slab whose underside is at y = 2.0
    outside: [100, 100], // beyond the floor: falls
};

// The movement level: floor, wall, two steps, a low ceiling and some props around the spawn point,
// a mirrored and a rotated one among them. The floor's texture has an unequal tiling with a
// rotation, so the texture transform shows.
export function movementLevel() {
    const materials = [
        {
            color: [1, 1, 1, 1],
            texture: {
                png: checkerPng(64, 2, [112, 150, 96], [88, 124, 76]),
                offset: [0.1, 0.2],
                scale: [30, 20],
                rotation: 0.3,
            },
        },
        { color: [0.78, 0.74, 0.68, 1] },
        { color: [0.85, 0.45, 0.25, 1] },
        { color: [0.3, 0.5, 0.85, 1] },
        { color: [0.9, 0.8, 0.3, 1] },
    ];
    const meshes = [
        { part: boxPart([-60, -0.2, -60], [60, 0, 60]), material: 0 },
        { part: boxPart([10, 0, -20.2], [30, 3, -20]), material: 1 },
        { part: boxPart([-30, 0, -20], [-20, 0.3, -10]), material: 2 },
        { part: boxPart([-45, 0, -20], [-35, 0.5, -10]), material: 2 },
        { part: boxPart([30, 2.0, 10], [40, 2.2, 20]), material: 1 },
        { part: boxPart([-1, 0, -1], [1, 2, 1]), material: 3 },
        { part: spherePart([0, 0, 0], 1, 24, 12), material: 4 },
        { part: boxPart([-0.5, 0, -0.5], [0.5, 1, 0.5]), material: 2 },
    ];
    const nodes = [
        { name: 'Floor', mesh: 0 },
        { name: 'Wall', mesh: 1 },
        { name: 'Low Step', mesh: 2 },
        { name: 'High Step', mesh: 3 },
        { name: 'Ceiling', mesh: 4 },
        { name: 'Pillar', mesh: 5, translation: [-3, 0, -4], rotation: quatY(30) },
        { name: 'Ball', mesh: 6, translation: [2.5, 1, -6], scale: [1.5, 1, 1] },
        { name: 'Mirrored Crate', mesh: 7, translation: [1.8, 0, -9], rotation: quatY(-20), scale: [-1.5, 1.2, 1] },
        { name: 'Empty' },
    ];
    return buildGlb({ materials, meshes, nodes });
}

// About 100 k triangles in one mesh: rolling terrain of 224 x 224 quads.
export function terrainLevel() {
    const part = gridPart(-50, -50, 50, 50, 224, (x, z) => 0.4 * Math.sin(x * 0.35) * Math.cos(z * 0.3));
    return oneMesh(part, [0.5, 0.65, 0.4, 1]);
}

// 1 000 small meshes of 100 triangles each (spheres of 10 x 6), on a 32 x 32 grid around the
// spawn point, plus a floor of two triangles.
export function propsLevel() {
    const meshes = [{ part: gridPart(-50, -50, 50, 50, 1), material: 0 }];
    const nodes = [{ mesh: 0 }];
    for (let i = 0; i < 1000; i++) {
        const x = -46 + 3 * (i % 32);
        const z = -46 + 3 * Math.floor(i / 32);
        meshes.push({ part: spherePart([0, 0, 0], 0.6, 10, 6), material: 1 });
        nodes.push({ mesh: meshes.length - 1, translation: [x, 0.6, z] });
    }
    return buildGlb({ materials: [{ color: [0.5, 0.6, 0.45, 1] }, { color: [0.8, 0.5, 0.3, 1] }], meshes, nodes });
}

// About 1 M triangles in one mesh: 708 x 708 quads.
export function millionLevel() {
    const part = gridPart(-100, -100, 100, 100, 708, (x, z) => 0.5 * Math.sin(x * 0.2) * Math.sin(z * 0.17));
    return oneMesh(part, [0.55, 0.6, 0.5, 1]);
}

