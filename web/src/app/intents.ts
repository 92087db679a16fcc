// What a window tells the app: the user's intents, one JSON object each.
import type { ControlScreen, SidebarSection } from "../projects/ProjectState";

export type Intent =
    | { intent: "newProject" }
    | { intent: "openProject" }
    | { intent: "closeProject" }
    | { intent: "saveProject" }
    | { intent: "setAutoOpenLastProject"; value: boolean }
    | { intent: "showNewProject" }
    | { intent: "showOpenDialog" }
    | { intent: "openRecent"; path: string }
    | { intent: "removeRecent"; path: string }
    | { intent: "dismissAlert" }
    | { intent: "setProjectName"; value: string }
    | { intent: "chooseFolder" }
    | { intent: "createProject" }
    | { intent: "cancelCreateProject" }
    | { intent: "fileDialogNavigate"; path: string }
    | { intent: "fileDialogChoose"; path: string }
    | { intent: "fileDialogSave"; folder: string; name: string; replace?: boolean }
    | { intent: "fileDialogNewFolder"; name: string }
    | { intent: "fileDialogCancel" }
    | { intent: "selectSection"; section: SidebarSection }
    | { intent: "toolbarReset" }
    | { intent: "toolbarPlayPause" }
    | { intent: "toolbarSave" }
    | { intent: "closeRequest" }
    | { intent: "closeAlert"; choice: "save" | "discard" | "cancel" }
    | { intent: "restoreAlert"; choice: "restore" | "discard" }
    | { intent: "dismissOnboarding" }
    | { intent: "setControl"; screen: ControlScreen; id: string; value: number }
    | { intent: "exportCSV" }
    | { intent: "exportDeposits" }
    | { intent: "exportHeatmap" }
    | { intent: "exportEnsemble" }
    | { intent: "showEnsembleDialog" }
    | { intent: "runEnsemble"; members: string; seed: string; vary: string[] }
    | { intent: "cancelEnsembleDialog" }
    | { intent: "stopEnsemble" }
    | { intent: "clearEnsemble" }
    | { intent: "setSpeed"; value: number }
    | {
          intent: "mapClick";
          latitude: number;
          longitude: number;
          alt: boolean;
          shift: boolean;
          ctrl: boolean;
          meta: boolean;
      }
    | { intent: "undo" }
    | { intent: "redo" }
    | { intent: "moveVertex"; index: number; latitude: number; longitude: number }
    | { intent: "deleteVertex"; index: number }
    | {
          intent: "mapViewChanged";
          latitude: number;
          longitude: number;
          latitudeDelta: number;
          longitudeDelta: number;
      }
    | { intent: "clearRegion" }
    | { intent: "applyRegion" }
    | { intent: "setAutoDetect"; value: boolean }
    | { intent: "cancelDetection" }
    | { intent: "dismissDetectionMessage" }
    | { intent: "searchPlace"; query: string }
    | { intent: "choosePlace"; index: number }
    | { intent: "goToCoordinate"; text: string }
    | { intent: "setMapType"; value: number }
    | { intent: "setFlowDirection"; value: number }
    | { intent: "setEmissionRadius"; value: number };

/** Where intents go: the window's socket, or a fake one in tests. */
export type SendIntent = (intent: Intent) => void;

/** The text frame of an intent. Numbers that JSON cannot carry are refused here rather than sent as null. */
export function encodeIntent(intent: Intent): string {
    if ("value" in intent && typeof intent.value === "number" && !Number.isFinite(intent.value)) {
        throw new RangeError(`${intent.intent}: value must be a finite number`);
    }
    return JSON.stringify(intent);
}
