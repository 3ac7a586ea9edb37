'use strict';
// The page's console for the game (src/console/console_web.cpp): it shows what the game writes,
// clears at its word, and behaves as a terminal in line mode. Typed characters are echoed,
// Backspace edits, Enter sends the line, Ctrl-D on an empty line ends the input; at the pause one
// key press or one tap anywhere on the page goes on, unechoed and never an answer. Each screen's
// text is as large as the window lets it be, to be read from across a table.
//
// The console is the page's own, not a terminal emulator: the game writes only text and asks for
// a clear, and a plain text field takes a phone's soft keyboard as reliably as any form does.

const tolvane = (() => {
    const body = document.body;
    const screen = document.getElementById('screen');
    const output = document.getElementById('output');
    const line = document.getElementById('line');
    const typed = document.getElementById('typed');
    const answerKeys = document.querySelectorAll('button.answer');
    const ended = document.getElementById('ended');
    const encoder = new TextEncoder();
    const END_OF_INPUT = -1;
    // What the running game has written, a character a byte, for whoever needs its exact bytes.
    const page = { transcript: '' };
    let run = null;
    // Where and when a tap last did something: a double tap answers once.
    let lastTap = { time: -Infinity, x: 0, y: 0, key: null };
    const DOUBLE_TAP = { ms: 500, px: 48 };

    function newRun() {
        return { unshown: [], decoder: new TextDecoder(), input: [], waiting: null };
    }

    function show(text) {
        output.append(text);
        typed.scrollIntoView({ block: 'nearest' });
    }

    function fits() {
        return screen.scrollHeight <= screen.clientHeight
            && screen.scrollWidth <= screen.clientWidth;
    }

    // The largest text at which the screen shows all its lines, wrapped between words only, found
    // by halving: a monospace line's wrapping is easier measured than foretold. The least size is
    // the style sheet's, the browser's own text size; below it the screen scrolls instead. An empty
    // screen keeps it, lest the field alone be as tall as the window.
    function fit() {
        screen.style.fontSize = '';
        screen.classList.remove('cramped');
        let low = parseFloat(getComputedStyle(screen).fontSize);
        if (!fits()) {
            screen.classList.toggle('cramped', screen.scrollWidth > screen.clientWidth);
        } else if (output.textContent !== '') {
            const lines = output.textContent.split('\n').length;
            let high = Math.max(low, screen.clientHeight / lines);
            while (high - low > 0.5) {
                const size = (low + high) / 2;
                screen.style.fontSize = `${size}px`;
                [low, high] = fits() ? [size, high] : [low, size];
            }
            screen.style.fontSize = `${low}px`;
        }
        typed.scrollIntoView({ block: 'nearest' });
    }

    // The game's bytes reach the page one at a time, and appear once it waits or clears: nothing
    // could be painted meanwhile, and a turn's text then enters the page (and the screen reader's
    // live region) at once. A line of asterisks alone is a frame around the text: seen, not read
    // out, and cut at the window's edge rather than wrapped.
    function showWritten() {
        if (run.unshown.length > 0) {
            const text = run.decoder.decode(Uint8Array.from(run.unshown), { stream: true });
            text.split(/^(\*+)$/m).forEach((part, index) => {
                const frame = index % 2 === 1 && document.createElement('span');
                if (frame) {
                    Object.assign(frame, { className: 'frame', textContent: part });
                    frame.setAttribute('aria-hidden', 'true');
                }
                output.append(frame || part);
            });
            run.unshown = [];
        }
    }

    // The keys take a tap only while the game asks; otherwise they are there, announced disabled.
    function setState(state) {
        body.dataset.state = state;
        for (const key of answerKeys) {
            key.setAttribute('aria-disabled', String(state !== 'byte'));
        }
    }

    function wait(kind) {
        showWritten();
        setState(kind);
        fit();
        return new Promise((resolve) => { run.waiting = { kind, resolve }; });
    }

    function resume(kind, value) {
        const waiting = run && run.waiting;
        if (!waiting || waiting.kind !== kind) {
            return false;
        }
        run.waiting = null;
        setState('running');
        waiting.resolve(value);
        return true;
    }

    // Hands the game its next byte if it is waiting for one; otherwise the bytes wait for it.
    function deliver(bytes) {
        for (const byte of bytes) {
            run.input.push(byte);
        }
        if (run.waiting && run.waiting.kind === 'byte') {
            resume('byte', run.input.shift());
        }
    }

    // Sends text to standard input, as a terminal sends a line: echoed, then readable.
    function send(text, ending) {
        if (!run || body.dataset.state === 'key') {
            return;
        }
        show(text + ending);
        typed.value = '';
        fitTyped();
        deliver(encoder.encode(text + ending));
    }

    // The game's side (the EM_JS functions of console_web.cpp).
    const gameConsole = {
        clear() {
            showWritten();
            output.textContent = '';
        },
        key() {
            return wait('key');
        },
        byte() {
            return run.input.length > 0 ? run.input.shift() : wait('byte');
        },
    };

    function fitTyped() {
        typed.style.width = `${typed.value.length + 1}ch`;
    }

    const MODIFIERS = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock']);

    // Tab moves the focus, as anywhere on a page, at the pause too: a keyboard's way to the keys.
    // A soft keyboard's key that tells nothing here is taken by the input event below.
    document.addEventListener('keydown', (event) => {
        if (!run || MODIFIERS.has(event.key) || ['Unidentified', 'Tab'].includes(event.key)
            || event.isComposing) {
            return;
        }
        const endOfInput = event.ctrlKey && event.key.toLowerCase() === 'd';
        if (body.dataset.state === 'key') {
            event.preventDefault();
            resume('key');
            return;
        }
        // A key typed with the focus on the page, where a tap or a click left it, goes to the
        // field as if it had the focus; a button keeps its own keys.
        if (event.target !== typed) {
            const printable = event.key.length === 1 && !event.ctrlKey && !event.metaKey
                && !event.altKey;
            if (event.target.closest('button')
                || !(printable || endOfInput || ['Enter', 'Backspace'].includes(event.key))) {
                return;
            }
            event.preventDefault();
            typed.focus();
            if (event.key === 'Enter') {
                send(typed.value, '\n');
            } else if (!endOfInput) {
                typed.value = printable ? typed.value + event.key : typed.value.slice(0, -1);
                fitTyped();
            }
        }
        if (endOfInput) {
            // As on a terminal: the text typed so far is sent without a line end; with none, the
            // game reads the end of its input.
            event.preventDefault();
            if (typed.value === '') {
                deliver([END_OF_INPUT]);
            } else {
                send(typed.value, '');
            }
        }
    });
    // A soft keyboard may tell its keys only by what they change in the field.
    typed.addEventListener('input', () => {
        if (body.dataset.state === 'key') {
            typed.value = '';
            resume('key');
        }
        fitTyped();
        // A long answer shrinks the text rather than push the question off the screen.
        if (!fits()) {
            fit();
        }
    });
    line.addEventListener('submit', (event) => {
        event.preventDefault();
        send(typed.value, '\n');
    });
    // The second tap of two on the same key or place. A click that a keyboard made (detail 0)
    // always counts, as typed yy plays two turns.
    function tapAgain(event, key) {
        const near = Math.hypot(event.clientX - lastTap.x, event.clientY - lastTap.y);
        return event.detail > 0 && event.timeStamp - lastTap.time < DOUBLE_TAP.ms
            && ((key && key === lastTap.key) || near < DOUBLE_TAP.px);
    }

    function tapCounted(event, key) {
        if (event.detail > 0) {
            lastTap = { time: event.timeStamp, x: event.clientX, y: event.clientY, key };
        }
    }

    // At the pause a tap anywhere goes on, on the keys too; otherwise a key's tap answers. The
    // second tap of a double tap does nothing: on y it would play a turn that nobody saw, on New
    // game skip the welcome.
    document.addEventListener('click', (event) => {
        const key = event.target.closest('button.answer');
        if (!run || tapAgain(event, key)) {
            return;
        }
        const wentOn = resume('key');
        if (wentOn || (key && key.getAttribute('aria-disabled') === 'false')) {
            tapCounted(event, key);
            if (!wentOn) {
                send(typed.value + key.dataset.line, '\n');
            }
        }
        // A tap goes on from the pause without calling up a phone's keyboard, which would hide
        // half the console; a click on the console leaves the field ready for typing, unless it
        // selected text.
        const tapped = wentOn && event.pointerType === 'touch';
        if (screen.contains(event.target) && !tapped && window.getSelection().isCollapsed) {
            typed.focus();
        }
    });
    for (const button of answerKeys) {
        // The field keeps the focus, and a phone its keyboard as it was.
        button.addEventListener('mousedown', (event) => event.preventDefault());
    }
    new ResizeObserver(fit).observe(screen);

    // Each game is a new run of the program: a fresh instance, a new seed, the welcome screen.
    async function play() {
        run = newRun();
        page.transcript = '';
        output.textContent = '';
        ended.textContent = '';
        setState('running');
        const written = (signedByte) => {
            const byte = signedByte & 0xff;
            run.unshown.push(byte);
            page.transcript += String.fromCharCode(byte);
        };
        const game = await createTolvane({ gameConsole, stdout: written, stderr: written });
        typed.focus();
        await game.ccall('main', 'number', [], [], { async: true });
        showWritten();
        run = null;
        setState('ended');
        // Told in the status region that was there all along, so that a screen reader hears it.
        ended.textContent = 'The game has ended.';
        fit();
        document.getElementById('new-game').focus();
    }
    document.getElementById('new-game').addEventListener('click', (event) => {
        tapCounted(event, null);
        play();
    });

    // Served from a web host, the page can be installed and plays offline; from a file it cannot.
    if (location.protocol !== 'file:' && 'serviceWorker' in navigator) {
        for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['icon', 'tolvane.svg'],
            ['apple-touch-icon', 'apple-touch-icon.png']]) {
            document.head.append(Object.assign(document.createElement('link'), { rel, href }));
        }
        navigator.serviceWorker.register('service-worker.js');
    }
    play();
    return page;
})();
