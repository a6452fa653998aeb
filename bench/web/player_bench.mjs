#!/usr/bin/env node
// Web player timings in headless Chromium (run by hand: `node bench/web/player_bench.mjs`):
//   - Player.update for one frame while walking and turning through two levels of about 100 k
//     triangles: one mesh of rolling terrain, and 1 000 small meshes of 100 triangles;
//     for comparison the same frames with ray casts through three.js's Raycaster over every mesh;
//   - page load to the play call, and the collision structure's build, with one 1 M-triangle mesh.
// Chromium's clock is coarse (0.1 ms), so update times are measured over batches of 50 frames.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { launchBrowser, waitForReady } from '../../tests/web/support/browser.mjs';
import { writeBuildFolder } from '../../tests/web/support/build-folder.mjs';
import { millionLevel, propsLevel, terrainLevel } from '../../tests/web/support/levels.mjs';
import { serveFolder } from '../../tests/web/support/server.mjs';

const root = fs.mkdtempSync(path.join(os.tmpdir(), 'orva-web-bench-'));
const spawn = { pitchDeg: 0, position: [0, 2, 0], yawDeg: 0 };
const game = (title) => ({ player: {}, scene: 'scene.glb', spawn, title });
writeBuildFolder(path.join(root, 'terrain'), { glb: terrainLevel(), game: game('Terrain') });
writeBuildFolder(path.join(root, 'props'), { glb: propsLevel(), game: game('Props') });
writeBuildFolder(path.join(root, 'million'), { glb: millionLevel(), game: game('Million') });
const server = await serveFolder(root);
const browser = await launchBrowser();

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
};

// Per-frame times (ms) of `batches` batches of 50 updates, walking (and running every other
// batch) while turning, so the player keeps meeting geometry.
function timeUpdates(page, batches, bruteForce) {
    return page.evaluate(
        async ({ batches, bruteForce }) => {
            const THREE = await import('three');
            const { player, input } = window.orva;
            input.active = false; // the live loop stays out of the way
            if (bruteForce) {
                const raycaster = new THREE.Raycaster();
                const normalMatrix = new THREE.Matrix3();
                player.cast = (origin, direction, far) => {
                    raycaster.set(origin, direction);
                    raycaster.far = far;
                    return raycaster.intersectObjects(player.colliders, false)[0] ?? null;
                };
                player.worldNormal = (hit) => {
                    if (!hit.face) return null;
                    normalMatrix.getNormalMatrix(hit.object.matrixWorld);
                    return hit.face.normal.clone().applyMatrix3(normalMatrix).normalize();
                };
            }
            player.respawn();
            input.keys.add('KeyW');
            const times = [];
            for (let b = 0; b < batches; b++) {
                if (b % 2) input.keys.add('ShiftLeft');
                else input.keys.delete('ShiftLeft');
                const start = performance.now();
                for (let i = 0; i < 50; i++) {
                    input.lookDX = 6; // about 0.8 rad per second
                    if (i === 25) input.jumpQueued = true;
                    player.update(1 / 60);
                }
                times.push((performance.now() - start) / 50);
            }
            input.keys.clear();
            return times;
        },
        { batches, bruteForce }
    );
}

const results = [];
for (const [folder, label] of [['terrain', '100 k triangles, one mesh'], ['props', '1 000 meshes of 100 triangles']]) {
    const page = await browser.newPage({ viewport: { width: 640, height: 360 } });
    await page.goto(server.url + folder + '/');
    await waitForReady(page, 120000);
    const info = await page.evaluate(() => {
        const { player } = window.orva;
        return { triangles: player.bvh.triangleCount, meshes: player.colliders.length };
    });
    const bvh = await timeUpdates(page, 40, false);
    const brute = await timeUpdates(page, 2, true);
    results.push(
        `update, ${label} (${info.triangles} triangles, ${info.meshes} meshes): median ${median(bvh).toFixed(3)} ms, ` +
            `worst batch ${Math.max(...bvh).toFixed(3)} ms per frame; ` +
            `Raycaster over every triangle: ${median(brute).toFixed(1)} ms`
    );
    await page.close();
}

for (let run = 0; run < 3; run++) {
    const page = await browser.newPage({ viewport: { width: 640, height: 360 } });
    // Notes the moment the play call shows, in milliseconds since the navigation started.
    await page.addInitScript(() => {
        document.addEventListener('DOMContentLoaded', () => {
            const play = document.getElementById('play');
            new MutationObserver(() => {
                if (!play.hidden && window.readyAt === undefined) window.readyAt = performance.now();
            }).observe(play, { attributes: true });
        });
    });
    await page.goto(server.url + 'million/');
    await waitForReady(page, 120000);
    const timing = await page.evaluate(() => {
        const { player } = window.orva;
        const start = performance.now();
        const bvh = new player.bvh.constructor(player.colliders);
        return { ready: window.readyAt, build: performance.now() - start, triangles: bvh.triangleCount };
    });
    results.push(
        `1 M mesh (${timing.triangles} triangles), run ${run + 1}: ` +
            `page load to play call ${timing.ready.toFixed(0)} ms, ` +
            `of which building the collision BVH about ${timing.build.toFixed(0)} ms`
    );
    await page.close();
}

await browser.close();
await server.close();
fs.rmSync(root, { recursive: true, force: true });
console.log(results.join('\n'));
