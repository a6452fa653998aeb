// The web player in a real browser: Chromium (Debian) driven by playwright-core, on build folders
// laid out here and served over HTTP from 127.0.0.1, and on one folder that the orva program
// itself builds and serves. Movement is checked by stepping the player's
// update with a fixed frame time inside the page, so results do not depend on how fast the
// software renderer draws.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { launchBrowser, openPage, waitForReady } from './support/browser.mjs';
import { repoRoot, writeBuildFolder } from './support/build-folder.mjs';
import { buildGlb } from './support/glb.mjs';
import { movementLevel, stations } from './support/levels.mjs';
import { buildWithOrva, orvaExe, serveWithOrva } from './support/orva-program.mjs';
import { serveFolder } from './support/server.mjs';

const artefactDir = path.join(repoRoot, 'build', 'web-tests');
const httpMessage =
    'This game must be served over HTTP.\n' +
    'Use "Game > Build and Run" in ORVA 3D Studio, or upload the folder to any web server.';

// The page carries the title twice, HTML-escaped by the build; it must read as typed.
const title = `Tom's "<Best>" Game & Co`;
let root;
let server;
let browser;

before(async () => {
    root = fs.mkdtempSync(path.join(os.tmpdir(), 'orva-web-test-'));
    writeBuildFolder(path.join(root, 'main'), { title, glb: movementLevel() });
    // No meshes, no "player" object and no title: defaults everywhere.
    writeBuildFolder(path.join(root, 'empty'), {
        glb: buildGlb({ materials: [], meshes: [], nodes: [{ name: 'Lonely Node' }] }),
        game: { scene: 'scene.glb', spawn: { pitchDeg: 0, position: [0, 0, 5], yawDeg: 0 } },
    });
    writeBuildFolder(path.join(root, 'no-game-json'), { glb: movementLevel(), game: null });
    writeBuildFolder(path.join(root, 'bad-scene'), { glb: Buffer.from('not a glb file at all') });
    writeBuildFolder(path.join(root, 'bad-json'), { glb: movementLevel(), game: '{ "title": ' });
    server = await serveFolder(root);
    browser = await launchBrowser();
});

after(async () => {
    await browser?.close();
    await server?.close();
    if (root) fs.rmSync(root, { recursive: true, force: true });
});

async function desktopPage(folder = 'main', init = null) {
    const context = await browser.newContext({ viewport: { width: 960, height: 540 } });
    if (init) await context.addInitScript(init);
    const page = await openPage(context, server.url + folder + '/');
    page.once('close', () => context.close());
    return page;
}

// Steps the player `frames` times at 60 Hz from a standing start at `at` (x, z, optional y),
// heading `yawDeg`, with `keys` held and a jump queued before each frame of `jumpFrames`, the live
// frame loop paused. Returns one record per frame.
function simulate(page, { at, yawDeg = 0, keys = [], frames, jumpFrames = [] }) {
    return page.evaluate(
        ({ at, yawDeg, keys, frames, jumpFrames }) => {
            const { player, input } = window.orva;
            const wasActive = input.active;
            input.active = false;
            player.position.set(at[0], at.length > 2 ? at[2] : 0, at[1]);
            player.yaw = (yawDeg * Math.PI) / 180;
            player.pitch = 0;
            player.velocity.set(0, 0, 0);
            player.verticalVelocity = 0;
            player.grounded = false;
            player.moveVertical(-0.001);
            input.keys.clear();
            for (const key of keys) input.keys.add(key);
            const trace = [];
            for (let i = 0; i < frames; i++) {
                if (jumpFrames.includes(i)) input.jumpQueued = true;
                player.update(1 / 60);
                const p = player.position;
                trace.push({ x: p.x, y: p.y, z: p.z, grounded: player.grounded, vy: player.verticalVelocity });
            }
            input.keys.clear();
            input.active = wasActive;
            return trace;
        },
        { at, yawDeg, keys, frames, jumpFrames }
    );
}

// Ground speed over the last `frames` records of a trace, in metres per second, and its heading.
function lastSpeed(trace, frames = 30) {
    const a = trace[trace.length - 1 - frames];
    const b = trace[trace.length - 1];
    const dx = b.x - a.x;
    const dz = b.z - a.z;
    return { speed: Math.hypot(dx, dz) / (frames / 60), dx, dz };
}

const near = (actual, expected, tolerance, what) =>
    assert.ok(Math.abs(actual - expected) <= tolerance, `${what}: ${actual} is not within ${tolerance} of ${expected}`);

describe('desktop page', () => {
    let page;
    before(async () => {
        page = await desktopPage();
        await waitForReady(page);
    });
    after(() => page.close());

    test('loads the level and waits for a click', async () => {
        const state = await page.evaluate(() => {
            const visible = (id) => document.getElementById(id).checkVisibility();
            return {
                title: document.title,
                heading: document.querySelector('#overlay h1').textContent,
                statusHidden: document.getElementById('status').hidden,
                play: document.getElementById('play').textContent,
                overlay: visible('overlay'),
                crosshair: visible('crosshair'),
                joystick: visible('joystick'),
                desktopHelp: visible('desktop-help'),
                touchHelp: visible('touch-help'),
                images: [...document.images].map((image) => image.naturalWidth > 0),
                canvasFirst: document.body.firstElementChild.tagName,
                colliders: window.orva.player.colliders.length,
                position: window.orva.player.position.toArray(),
                grounded: window.orva.player.grounded,
                active: window.orva.input.active,
            };
        });
        assert.deepEqual(state, {
            title,
            heading: title,
            statusHidden: true,
            play: 'Click to play',
            overlay: true,
            crosshair: true,
            joystick: false,
            desktopHelp: true,
            touchHelp: false,
            images: [true, true],
            canvasFirst: 'CANVAS',
            colliders: 8,
            position: [0, 0, 5],
            grounded: true,
            active: false,
        });
        assert.deepEqual(page.problems, []);
    });

    test('the floor texture uses the glTF order of tiling and rotation', async () => {
        // Rendered frames must not overwrite the matrix either.
        await page.waitForTimeout(100);
        const texture = await page.evaluate(() => {
            const floor = window.orva.scene.getObjectByName('Floor');
            const map = floor.material.map;
            return { auto: map.matrixAutoUpdate, elements: map.matrix.elements };
        });
        const c = Math.cos(0.3);
        const s = Math.sin(0.3);
        // column-major: rows (c sx, s sy, ox), (-s sx, c sy, oy), (0, 0, 1)
        const expected = [c * 30, -s * 30, 0, s * 20, c * 20, 0, 0.1, 0.2, 1];
        assert.equal(texture.auto, false);
        texture.elements.forEach((value, i) => near(value, expected[i], 1e-5, `matrix element ${i}`));
    });

    test('walking, running and walking diagonally', async () => {
        const cases = [
            { keys: ['KeyW'], speed: 4.5, heading: [0, -1] },
            { keys: ['ArrowUp'], speed: 4.5, heading: [0, -1] },
            { keys: ['KeyW', 'ShiftLeft'], speed: 8.0, heading: [0, -1] },
            { keys: ['KeyS'], speed: 4.5, heading: [0, 1] },
            { keys: ['KeyW', 'KeyD'], speed: 4.5, heading: [Math.SQRT1_2, -Math.SQRT1_2] },
            { keys: ['KeyA'], yawDeg: 90, speed: 4.5, heading: [0, 1] }, // facing -X, left is +Z
        ];
        for (const { keys, yawDeg = 0, speed, heading } of cases) {
            const trace = await simulate(page, { at: stations.open, yawDeg, keys, frames: 90 });
            const result = lastSpeed(trace);
            near(result.speed, speed, speed * 0.01, `speed with ${keys}`);
            near(result.dx / Math.hypot(result.dx, result.dz), heading[0], 1e-3, `heading x with ${keys}`);
            near(result.dz / Math.hypot(result.dx, result.dz), heading[1], 1e-3, `heading z with ${keys}`);
            assert.ok(trace.every((r) => r.grounded && r.y === 0), `stays on the floor with ${keys}`);
        }
    });

    test('walls stop the player at its radius and let it slide along', async () => {
        const straight = await simulate(page, { at: stations.wall, keys: ['KeyW'], frames: 120 });
        const end = straight[straight.length - 1];
        near(end.z, -20 + 0.3, 1e-6, 'distance from the wall walking straight into it');
        near(end.x, stations.wall[0], 1e-9, 'no sideways drift');

        // Facing 45 degrees left of -Z: blocked in z, sliding towards -X along the wall.
        const angled = await simulate(page, { at: stations.wall, yawDeg: 45, keys: ['KeyW'], frames: 150 });
        const last = angled[angled.length - 1];
        assert.ok(last.z > -19.75 && last.z < -19.5, `stays in front of the wall, z = ${last.z}`);
        const slide = lastSpeed(angled);
        assert.ok(slide.dx < 0 && Math.abs(slide.dz) < 1e-6, `slides along -X: ${JSON.stringify(slide)}`);
        near(slide.speed, 4.5 * Math.SQRT1_2, 0.2, 'sliding speed is the wall-parallel part of the walk');
    });

    test('a 0.3 m step is climbed and a 0.5 m step is not', async () => {
        const low = await simulate(page, { at: stations.lowStep, keys: ['KeyW'], frames: 120 });
        const onTop = low[low.length - 1];
        assert.ok(Math.abs(onTop.y - 0.3) < 1e-6 && onTop.z < -10.5, `on the low step: ${JSON.stringify(onTop)}`);
        assert.ok(low.every((r) => r.grounded), 'climbs without leaving the ground');

        const high = await simulate(page, { at: stations.highStep, keys: ['KeyW'], frames: 120 });
        const blocked = high[high.length - 1];
        assert.equal(blocked.y, 0);
        near(blocked.z, -10 + 0.3, 1e-6, 'stopped at the high step');
    });

    test('stepping off a low ledge keeps the ground, a higher one is a fall', async () => {
        // From the top of the 0.3 m step, walking off its back edge at z = -20.
        const low = await simulate(page, { at: [-25, -17, 0.3], keys: ['KeyW'], frames: 90 });
        assert.ok(low[low.length - 1].y === 0 && low[low.length - 1].z < -20.5, 'down on the floor');
        assert.ok(low.every((r) => r.grounded), 'grounded in every frame (snapped down)');

        const high = await simulate(page, { at: [-40, -17, 0.5], keys: ['KeyW'], frames: 90 });
        assert.ok(high.some((r) => !r.grounded && r.y > 0 && r.y < 0.5), 'falls for a few frames');
        assert.equal(high[high.length - 1].y, 0);
        assert.ok(high[high.length - 1].grounded);
    });

    test('jumping: full height in the open, stopped at once by a low ceiling', async () => {
        const open = await simulate(page, { at: stations.open, frames: 90, jumpFrames: [1] });
        const peak = Math.max(...open.map((r) => r.y));
        near(peak, (5.5 * 5.5) / (2 * 18), 0.05, 'jump height');
        assert.ok(open[open.length - 1].grounded && open[open.length - 1].y === 0, 'lands again');

        // The slab's underside is at 2.0 m, the head (1.7 m) bumps after about 0.3 m.
        const ceiling = await simulate(page, { at: stations.ceiling, frames: 90, jumpFrames: [1] });
        const top = Math.max(...ceiling.map((r) => r.y));
        assert.ok(top > 0.15 && top <= 0.3 + 1e-9, `head bump height ${top}`);
        const bump = ceiling.findIndex((r) => r.y === top);
        assert.ok(ceiling[bump + 1].y <= top, 'starts falling right after the bump');
        assert.ok(ceiling[ceiling.length - 1].grounded && ceiling[ceiling.length - 1].y === 0, 'lands again');

        // A jump queued in the air is dropped, not kept for the landing.
        const twice = await simulate(page, { at: stations.open, frames: 90, jumpFrames: [1, 10, 20] });
        const takeOffs = twice.filter((r, i) => i > 0 && r.vy > 0 && twice[i - 1].vy <= 0).length;
        assert.equal(takeOffs, 1);
        assert.deepEqual(twice.map((r) => r.y), open.map((r) => r.y));
    });

    test('falling below the kill height respawns at the spawn point', async () => {
        const trace = await simulate(page, { at: stations.outside, frames: 150 });
        const killHeight = await page.evaluate(() => window.orva.player.killHeight);
        near(killHeight, -0.2 - 25, 1e-6, 'kill height is 25 m below the level');
        const respawned = trace.findIndex((r) => r.x === 0 && r.z === 5);
        assert.ok(respawned > 0, 'respawned');
        assert.ok(trace[respawned - 1].y > killHeight - 1, 'fell to the kill height first');
        assert.deepEqual(trace[respawned], { ...trace[respawned], y: 0, grounded: true });
        assert.ok(trace.slice(respawned).every((r) => r.y === 0), 'stands on the floor after the respawn');
    });

    test('ray casts give the same nearest hits as three.js', async () => {
        const result = await page.evaluate(async () => {
            const THREE = await import('three');
            const { player } = window.orva;
            const raycaster = new THREE.Raycaster();
            const normalMatrix = new THREE.Matrix3();
            let seed = 12345;
            const random = () => {
                seed = (seed * 1103515245 + 12345) % 2147483648;
                return seed / 2147483648;
            };
            const targets = player.colliders.map((mesh) => new THREE.Box3().setFromObject(mesh));
            const mismatches = [];
            let hits = 0;
            const origin = new THREE.Vector3();
            const direction = new THREE.Vector3();
            for (let i = 0; i < 4000; i++) {
                origin.set(random() * 70 - 35, random() * 5 - 0.5, random() * 70 - 35);
                if (i % 2 === 0) {
                    // aim at a random point of a random collider's box, often hitting edges and corners
                    const box = targets[i % targets.length];
                    direction.set(
                        box.min.x + random() * (box.max.x - box.min.x),
                        box.min.y + random() * (box.max.y - box.min.y),
                        box.min.z + random() * (box.max.z - box.min.z)
                    );
                    direction.sub(origin).normalize();
                } else {
                    direction.set(random() - 0.5, random() - 0.5, random() - 0.5).normalize();
                }
                const far = i % 3 === 0 ? Infinity : random() * 30;
                raycaster.set(origin, direction);
                raycaster.far = far;
                const expected = raycaster.intersectObjects(player.colliders, false)[0] ?? null;
                const actual = player.cast(origin, direction, far);
                if ((expected === null) !== (actual === null)) {
                    mismatches.push({ i, expected: expected?.distance ?? null, actual: actual?.distance ?? null });
                    continue;
                }
                if (expected === null) continue;
                hits++;
                const all = raycaster.intersectObjects(player.colliders, false);
                const tie = all.length > 1 && all[1].distance - all[0].distance < 1e-4;
                const normal = expected.face.normal
                    .clone()
                    .applyMatrix3(normalMatrix.getNormalMatrix(expected.object.matrixWorld))
                    .normalize();
                const ours = player.worldNormal(actual);
                const sameDistance = Math.abs(expected.distance - actual.distance) < 1e-4;
                // A ray through an edge or a corner may report either of the faces that meet there.
                const sameFace = tie || (expected.object === actual.object && normal.dot(ours) > 0.9999);
                if (!sameDistance || !sameFace) {
                    const names = [expected.object.name, actual.object.name];
                    mismatches.push({ i, expected: expected.distance, actual: actual.distance, names });
                }
            }
            return { hits, mismatches };
        });
        assert.ok(result.hits > 1500, `enough rays hit something: ${result.hits}`);
        assert.deepEqual(result.mismatches, []);
    });
});

describe('desktop input', () => {
    test('pointer lock: holding W walks, Shift runs, losing the lock pauses', async () => {
        const page = await desktopPage();
        await waitForReady(page);
        await page.click('#overlay');
        await page.waitForFunction(() => window.orva.input.active);
        const locked = await page.evaluate(() => document.pointerLockElement === document.body);
        assert.equal(await page.evaluate(() => document.getElementById('overlay').classList.contains('hidden')), true);

        await page.keyboard.down('KeyW');
        const velocityZ = (speed) =>
            page.waitForFunction((v) => Math.abs(window.orva.player.velocity.z + v) < 0.05, speed, { timeout: 20000 });
        await velocityZ(4.5);
        await page.keyboard.down('ShiftLeft');
        await velocityZ(8.0);
        const moving = await page.evaluate(() => {
            const { player } = window.orva;
            return { position: player.position.toArray(), velocity: player.velocity.toArray() };
        });
        assert.ok(moving.position[2] < 5 - 0.5, `moved towards -Z: ${moving.position}`);
        near(moving.position[0], 0, 1e-9, 'straight ahead');
        near(moving.velocity[0], 0, 1e-9, 'no sideways velocity');

        fs.mkdirSync(artefactDir, { recursive: true });
        await page.screenshot({ path: path.join(artefactDir, 'player-running.png') });

        await page.keyboard.up('ShiftLeft');
        await page.keyboard.up('KeyW');
        if (locked) {
            await page.evaluate(() => document.exitPointerLock());
            await page.waitForFunction(() => !window.orva.input.active);
            const paused = await page.evaluate(() => ({
                overlay: !document.getElementById('overlay').classList.contains('hidden'),
                keys: window.orva.input.keys.size,
            }));
            assert.deepEqual(paused, { overlay: true, keys: 0 });
        }
        assert.deepEqual(page.problems, []);
        await page.close();
    });

    test('a refused pointer lock falls back to looking by dragging', async () => {
        const page = await desktopPage('main', () => {
            Element.prototype.requestPointerLock = function () {
                return Promise.reject(new DOMException('The request was denied.', 'NotAllowedError'));
            };
        });
        await waitForReady(page);
        await page.mouse.click(480, 270);
        await page.waitForFunction(() => window.orva.input.active);
        const yaw = () => page.evaluate(() => window.orva.player.yaw + window.orva.input.lookDX * -0.0022);

        const start = await yaw();
        await page.mouse.move(580, 270);
        near(await yaw(), start, 1e-9, 'moving without a button held does not turn');

        await page.mouse.down();
        await page.mouse.move(680, 270, { steps: 4 });
        await page.mouse.up();
        near(await yaw(), start - 100 * 0.0022, 1e-6, 'dragging 100 px to the right turns right');

        await page.keyboard.press('Escape');
        await page.waitForFunction(() => !window.orva.input.active);
        assert.equal(await page.evaluate(() => document.getElementById('overlay').classList.contains('hidden')), false);
        await page.mouse.click(480, 270);
        await page.waitForFunction(() => window.orva.input.active);
        assert.deepEqual(page.problems, []);
        await page.close();
    });
});

describe('touch device', () => {
    test('shows the joystick and the jump button, hides the crosshair, and says "Tap to play"', async () => {
        const viewport = { width: 800, height: 400 };
        const context = await browser.newContext({ viewport, hasTouch: true, isMobile: true });
        const page = await openPage(context, server.url + 'main/');
        await waitForReady(page);
        const state = await page.evaluate(() => {
            const visible = (id) => document.getElementById(id).checkVisibility();
            return {
                touch: document.body.classList.contains('touch'),
                play: document.getElementById('play').textContent,
                crosshair: visible('crosshair'),
                joystick: visible('joystick'),
                jump: visible('jump'),
                desktopHelp: visible('desktop-help'),
                touchHelp: visible('touch-help'),
            };
        });
        assert.deepEqual(state, {
            touch: true,
            play: 'Tap to play',
            crosshair: false,
            joystick: true,
            jump: true,
            desktopHelp: false,
            touchHelp: true,
        });

        await page.tap('#play');
        await page.waitForFunction(() => window.orva.input.active);

        // Real touches through the DevTools protocol: the stick, the jump button and a look drag.
        const cdp = await context.newCDPSession(page);
        const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
        const stick = await page.locator('#joystick').boundingBox();
        const cx = stick.x + stick.width / 2;
        const cy = stick.y + stick.height / 2;
        await touch('touchStart', [{ x: cx, y: cy, id: 1 }]);
        await touch('touchMove', [{ x: cx + 30, y: cy - 200, id: 1 }]);
        const pushed = await page.evaluate(() => ({
            moveX: window.orva.input.moveX,
            moveY: window.orva.input.moveY,
            knob: document.getElementById('joystick-knob').style.transform,
        }));
        // The offset is clamped to 0.75 of the stick's radius.
        const max = 0.75 * (stick.width / 2);
        const length = Math.hypot(30, 200);
        near(pushed.moveX, 30 / length, 1e-3, 'stick x');
        near(pushed.moveY, 200 / length, 1e-3, 'stick y, up is forward');
        const knob = pushed.knob.match(/^translate\(([-.\d]+)px, ([-.\d]+)px\)$/);
        assert.ok(knob, `knob transform ${pushed.knob}`);
        near(Number(knob[1]), (30 / length) * max, 0.01, 'knob x');
        near(Number(knob[2]), (-200 / length) * max, 0.01, 'knob y');
        await page.waitForFunction(() => window.orva.player.velocity.length() > 1);
        await touch('touchEnd', []);
        assert.deepEqual(await page.evaluate(() => [window.orva.input.moveX, window.orva.input.moveY]), [0, 0]);
        assert.equal(await page.evaluate(() => document.getElementById('joystick-knob').style.transform), '');

        const jump = await page.locator('#jump').boundingBox();
        await touch('touchStart', [{ x: jump.x + jump.width / 2, y: jump.y + jump.height / 2, id: 2 }]);
        assert.equal(await page.evaluate(() => document.getElementById('jump').classList.contains('pressed')), true);
        await page.waitForFunction(() => window.orva.player.position.y > 0.1, null, { timeout: 5000 });
        await touch('touchEnd', []);
        assert.equal(await page.evaluate(() => document.getElementById('jump').classList.contains('pressed')), false);

        const yawBefore = await page.evaluate(() => window.orva.player.yaw + window.orva.input.lookDX * -0.0022);
        await touch('touchStart', [{ x: 600, y: 200, id: 3 }]);
        await touch('touchMove', [{ x: 650, y: 200, id: 3 }]);
        await touch('touchEnd', []);
        const yawAfter = await page.evaluate(() => window.orva.player.yaw + window.orva.input.lookDX * -0.0022);
        near(yawAfter - yawBefore, -50 * 0.005, 1e-6, 'a 50 px drag turns by 50 x 0.005 rad');
        assert.deepEqual(page.problems, []);
        await context.close();
    });
});

describe('start-up failures', () => {
    const statusOf = (page) =>
        page.evaluate(() => {
            const status = document.getElementById('status');
            return {
                text: status.textContent,
                error: status.classList.contains('error'),
                play: !document.getElementById('play').hidden,
                overlay: !document.getElementById('overlay').classList.contains('hidden'),
            };
        });

    test('opened from the file system: asks to serve the game over HTTP', async () => {
        const context = await browser.newContext();
        const page = await context.newPage();
        await page.goto('file://' + path.join(root, 'main', 'index.html'));
        await page.waitForFunction(() => document.getElementById('status').classList.contains('error'));
        assert.deepEqual(await statusOf(page), { text: httpMessage, error: true, play: false, overlay: true });
        const whiteSpace = await page.evaluate(() => getComputedStyle(document.getElementById('status')).whiteSpace);
        assert.equal(whiteSpace, 'pre-line', 'the line break shows');
        await context.close();
    });

    const cases = [
        ['no-game-json', /^Could not load the game:\ngame\.json: HTTP 404$/],
        ['bad-json', /^Could not load the game:\n.+/],
        ['bad-scene', /^Could not load the game:\n.+/],
    ];
    for (const [folder, message] of cases) {
        test(`${folder}: shows the error instead of the play button`, async () => {
            const page = await desktopPage(folder);
            const failed = () => document.getElementById('status').classList.contains('error');
            await page.waitForFunction(failed, null, { timeout: 20000 });
            const status = await statusOf(page);
            assert.match(status.text, message);
            assert.deepEqual({ ...status, text: '' }, { text: '', error: true, play: false, overlay: true });
            await page.close();
        });
    }
});

describe('empty scene without player settings', () => {
    test('defaults apply, "Ready" shows, and the player falls and respawns again and again', async () => {
        const page = await desktopPage('empty');
        await waitForReady(page);
        const state = await page.evaluate(() => {
            const p = window.orva.player;
            return {
                status: document.getElementById('status').textContent,
                settings: [p.height, p.eyeHeight, p.radius, p.walkSpeed, p.runSpeed, p.jumpSpeed, p.gravity]
                    .concat(p.stepHeight),
                killHeight: p.killHeight,
            };
        });
        assert.deepEqual(state, {
            status: 'Ready',
            settings: [1.7, 1.6, 0.3, 4.5, 8.0, 5.5, 18.0, 0.35],
            killHeight: -1 - 25,
        });
        const trace = await simulate(page, { at: [0, 5], frames: 360 });
        const respawns = trace.filter((r, i) => i > 0 && r.y > -0.01 && trace[i - 1].y < -20).length;
        assert.ok(respawns >= 2, `respawned ${respawns} times in 6 s`);
        assert.ok(Math.min(...trace.map((r) => r.y)) > -27, 'never far below the kill height');
        await page.close();
    });
});

// The whole pipeline on a small scene file: orva builds the folder and serves it. The fixture has
// a floor, a 0.3 m step, a hidden cube, a hidden spawn point and the visible spawn point "Start"
// at (2, 0, 4) turned 90 degrees about +Y (facing -X).
describe('built and served by orva', { skip: orvaExe ? false : 'ORVA_EXE is not set (ctest sets it)' }, () => {
    let orvaServer;
    let page;
    before(async () => {
        const folder = path.join(root, 'orva-built');
        const fixture = path.join(repoRoot, 'tests', 'web', 'fixtures', 'Arena Level.orva');
        assert.equal(buildWithOrva(folder, fixture), `Built web game in ${folder}\n`);
        orvaServer = await serveWithOrva(folder);
        const context = await browser.newContext({ viewport: { width: 960, height: 540 } });
        page = await openPage(context, orvaServer.url);
        page.once('close', () => context.close());
        await waitForReady(page);
    });
    after(async () => {
        await page?.close();
        if (orvaServer) assert.equal(await orvaServer.close(), 0, 'orva --serve ends with status 0');
    });

    test('the page carries the file name as title and starts at the visible spawn point', async () => {
        const state = await page.evaluate(() => {
            const { player, scene } = window.orva;
            return {
                title: document.title,
                heading: document.querySelector('#overlay h1').textContent,
                statusHidden: document.getElementById('status').hidden,
                colliders: player.colliders.map((mesh) => mesh.name).sort(),
                ghost: scene.getObjectByName('Ghost') === undefined,
                position: player.position.toArray(),
                yawDeg: (player.yaw * 180) / Math.PI,
                grounded: player.grounded,
                walkSpeed: player.walkSpeed,
                images: [...document.images].map((image) => image.naturalWidth > 0),
            };
        });
        assert.deepEqual(state, {
            title: 'Arena Level',
            heading: 'Arena Level',
            statusHidden: true,
            colliders: ['Floor', 'Step'],
            ghost: true,
            position: [2, 0, 4],
            yawDeg: 90,
            grounded: true,
            walkSpeed: 4.5,
            images: [true, true],
        });
        assert.deepEqual(page.problems, []);
    });

    test('walking forward from the spawn point heads along -X and climbs the step', async () => {
        const trace = await simulate(page, { at: [2, 4], yawDeg: 90, keys: ['KeyW'], frames: 150 });
        const result = lastSpeed(trace);
        near(result.speed, 4.5, 0.05, 'walking speed');
        near(result.dx / Math.hypot(result.dx, result.dz), -1, 1e-3, 'heading along -X');
        const end = trace[trace.length - 1];
        assert.ok(end.x < -4.5, `walked past the step, x = ${end.x}`);
        assert.ok(trace.some((r) => Math.abs(r.y - 0.3) < 1e-6 && r.grounded), 'stood on the step on the way');
    });
});

// What a phone on the same network opens: orva serves to every interface and a touch browser loads
// the game from the machine's network address, the one the editor shows as a QR code.
describe('served by orva to a phone on the local network', { skip: orvaExe ? false : 'ORVA_EXE is not set (ctest sets it)' }, () => {
    test('the network address plays with touch controls', async (t) => {
        const folder = path.join(root, 'orva-phone');
        const fixture = path.join(repoRoot, 'tests', 'web', 'fixtures', 'Arena Level.orva');
        buildWithOrva(folder, fixture);
        const orvaServer = await serveWithOrva(folder, { lan: true });
        try {
            if (!orvaServer.lanUrl) {
                t.skip('this machine has no address on a network');
                return;
            }
            assert.match(orvaServer.lanUrl, /^http:\/\/\d+\.\d+\.\d+\.\d+:\d+\/$/);
            assert.notEqual(new URL(orvaServer.lanUrl).hostname, '127.0.0.1');
            const context = await browser.newContext({ viewport: { width: 800, height: 400 }, hasTouch: true, isMobile: true });
            const page = await openPage(context, orvaServer.lanUrl);
            try {
                await waitForReady(page);
                const state = await page.evaluate(() => ({
                    title: document.title,
                    touch: document.body.classList.contains('touch'),
                    position: window.orva.player.position.toArray(),
                }));
                assert.deepEqual(state, { title: 'Arena Level', touch: true, position: [2, 0, 4] });
                assert.deepEqual(page.problems, []);
            } finally {
                await page.close();
                await context.close();
            }
        } finally {
            assert.equal(await orvaServer.close(), 0, 'orva --serve --lan ends with status 0');
        }
    });
});
