// The newest particle frame received: a slow page draws the latest one and skips those in between.
import type { ParticleFrame } from "./ParticleFrame";

export class LatestFrame {
    private frame_: ParticleFrame | null = null;
    private revision_ = 0;

    /** `null` until the first frame arrives. */
    get frame(): ParticleFrame | null {
        return this.frame_;
    }

    /** Grows by one with every frame received, so that a drawer can tell whether it has drawn the newest. */
    get revision(): number {
        return this.revision_;
    }

    replace(frame: ParticleFrame): void {
        this.frame_ = frame;
        this.revision_++;
    }
}
