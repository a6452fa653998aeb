// The real pipeline: the orva executable (path in the environment variable ORVA_EXE, set by the
// ctest entry) builds a web game with --build-web and serves it with --serve.
import { spawn, spawnSync } from 'node:child_process';

export const orvaExe = process.env.ORVA_EXE || '';

// Runs `orva --build-web folder scene` and returns its single line of standard output.
export function buildWithOrva(folder, scene) {
    const run = spawnSync(orvaExe, ['--build-web', folder, scene], { encoding: 'utf8', timeout: 60000 });
    if (run.status !== 0) {
        throw new Error(`orva --build-web failed (${run.status ?? run.signal}): ${run.stderr}`);
    }
    return run.stdout;
}

// Starts `orva --serve folder` and resolves to { url, lanUrl, close() } once it has printed its
// address (it takes the first free port from 8080). With `lan` it also serves the local network,
// and lanUrl is the address it gives for phones (empty when this machine has none).
// close() interrupts it and resolves to its exit code.
export function serveWithOrva(folder, { lan = false } = {}) {
    const args = ['--serve', folder].concat(lan ? ['--lan'] : []);
    const child = spawn(orvaExe, args, { stdio: ['ignore', 'pipe', 'pipe'] });
    let out = '';
    let err = '';
    const exited = new Promise((resolve) => child.once('exit', (code, signal) => resolve(code ?? signal)));
    return new Promise((resolve, reject) => {
        const timer = setTimeout(() => {
            child.kill('SIGKILL');
            reject(new Error(`orva --serve printed no address: ${out}${err}`));
        }, 15000);
        child.stderr.on('data', (chunk) => (err += chunk));
        child.stdout.on('data', (chunk) => {
            out += chunk;
            const match = /^Serving .* at (http:\/\/127\.0\.0\.1:\d+\/)(?: and on the local network at (\S+))?.*\n/.exec(out);
            if (!match) return;
            clearTimeout(timer);
            resolve({
                url: match[1],
                lanUrl: match[2] ?? '',
                close: () => {
                    child.kill('SIGINT');
                    return exited;
                },
            });
        });
        exited.then((code) => {
            clearTimeout(timer);
            reject(new Error(`orva --serve ended (${code}): ${err}`));
        });
    });
}
