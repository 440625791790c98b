// Shared by the channel pages: a note over the picture while the service cannot be reached, and the
// picture back once it can. A looping clip the engine has cached would otherwise play on, or stand
// still, without a word.
function watchStream(video, note) {
  let down = false;
  function show(lost) {
    if (lost === down)
      return;
    down = lost;
    note.hidden = !lost;
    if (lost) {
      video.pause();
    } else {
      video.load();
      video.play().catch(() => {});
    }
  }
  async function check() {
    let reachable = false;
    try {
      const answer = await fetch(video.currentSrc || video.src, {method: 'HEAD', cache: 'no-store'});
      reachable = answer.ok;
    } catch (error) {
      reachable = false;
    }
    show(!reachable);
  }
  video.addEventListener('error', () => show(true));
  setInterval(check, 3000);
}
